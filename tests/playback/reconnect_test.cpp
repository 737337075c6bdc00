// Staying on the air against the scriptable engine and a clock the test
// moves: drops, the back-off across the station's URLs, failures that end it
// at once, the user's stop, and the recording that goes on. The test's thread
// is the window's thread.

#include "fake_audio_library.h"
#include "recording_view.h"

#include "data/personal_lists.h"
#include "data/scrambled_list_file.h"
#include "playback/playback_controller.h"
#include "playback/reconnect_schedule.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace lumaro;
using namespace lumaro::testing;
using namespace std::chrono_literals;
using std::chrono::milliseconds;

namespace {

// Time moves only when the test says so; the armed wake-up runs when it falls due.
class ManualClock : public TReconnectClock {
public:
    TReconnectTime Now() const override { return now_; }
    void Arm(milliseconds delay, std::function<void()> fire) override {
        due_ = now_ + delay;
        fire_ = std::move(fire);
    }
    void Disarm() override {
        due_.reset();
        fire_ = nullptr;
    }
    void Advance(milliseconds step) {
        now_ += step;
        if (fire_ && due_ && *due_ <= now_) {
            auto fire = std::move(fire_);
            Disarm();
            fire();
        }
    }
    std::optional<milliseconds> Pending() const {
        if (!due_) return std::nullopt;
        return std::chrono::duration_cast<milliseconds>(*due_ - now_);
    }

private:
    TReconnectTime now_ = TReconnectTime{} + std::chrono::hours(1);
    std::optional<TReconnectTime> due_;
    std::function<void()> fire_;
};

const std::u16string kTwoUrls = u"Two\tD\tS\tC\tL\thttp://a/1\thttp://b/2";
const std::u16string kOneUrl = u"One\tD\tS\tC\tL\thttp://a/1";

FakeAudioLibrary::Script Streams() {
    FakeAudioLibrary::Script s;
    s.tags[engine::BASS_TAG_ICY] = TagList({"ICY 200 OK", "icy-name:Jazz Radio", "icy-br:128"});
    s.tags[engine::BASS_TAG_META] = std::string("StreamTitle='Artist - Song';") + '\0';
    return s;
}

class Reconnect : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QDir::setCurrent(dir_.path());
        controller_ = std::make_unique<TPlaybackController>(fake_, view_.Ports(), recent_);
        controller_->UseReconnectClock(clock_);
        view_.recordedStream = [this] { return State().Stream.load(); };
    }
    void TearDown() override {
        controller_.reset();
        fake_.ReleaseAll();
        EXPECT_TRUE(WaitForConnectionWorkers(10s));
        QDir::setCurrent(QDir::tempPath());
    }

    const TPlayerState& State() { return controller_->State(); }
    bool WaitIdle() {
        return QTest::qWaitFor([&] { return RunningConnectionWorkers() == 0 && !State().UrlMenuBusy; },
                               10000);
    }
    bool Audible(const std::string& url) {
        const engine::DWORD h = fake_.HandleFor(url);
        return h != 0 && fake_.WasPlayed(h) && !fake_.IsFreed(h) && State().Stream.load() == h;
    }
    // Plays line until its stream of url is on the air.
    void PlayOnAir(const std::u16string& line, const std::string& url) {
        controller_->PlayStation(line);
        ASSERT_TRUE(WaitIdle());
        ASSERT_TRUE(Audible(url));
        controller_->Timer1Timer();
        ASSERT_FALSE(controller_->Reconnecting());
    }
    // The current stream ends by itself; the status timer notices it.
    void EndStream() {
        fake_.SetActive(State().Stream.load(), engine::BASS_ACTIVE_STOPPED);
        controller_->Timer1Timer();
    }
    // Lets the waiting reconnect fall due and waits for its attempt to end.
    void RunWaitingAttempt() {
        ASSERT_TRUE(clock_.Pending().has_value());
        clock_.Advance(*clock_.Pending());
        ASSERT_TRUE(WaitIdle());
    }

    QTemporaryDir dir_;
    FakeAudioLibrary fake_;
    RecordingView view_;
    TRecentList recent_;
    ManualClock clock_;
    std::unique_ptr<TPlaybackController> controller_;
};

TEST(ReconnectSchedule, DelaysGrowWithJitterUntilTenMinutes) {
    const int base[] = {1, 2, 4, 8, 15, 30, 60, 60, 60};
    bool differ = false;
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        TReconnectSchedule schedule(seed), other(seed + 100);
        TReconnectTime now{};
        schedule.Dropped(now);
        for (int step = 0; step < 9; ++step) {
            const auto delay = schedule.NextDelay(now);
            ASSERT_TRUE(delay);
            EXPECT_GE(*delay, milliseconds(base[step] * 900));
            EXPECT_LE(*delay, milliseconds(base[step] * 1100));
            differ |= delay != other.NextDelay(now);
        }
        // The 10 minutes run from the first drop; later drops do not restart them.
        schedule.Dropped(now + 9min);
        EXPECT_TRUE(schedule.NextDelay(now + 599s));
        EXPECT_FALSE(schedule.NextDelay(now + 600s));
        schedule.Reset();
        schedule.Dropped(now + 600s);
        const auto fresh = schedule.NextDelay(now + 600s);
        ASSERT_TRUE(fresh);
        EXPECT_LE(*fresh, 1100ms);
    }
    EXPECT_TRUE(differ) << "listeners of one server must not return in step";
}

TEST(ReconnectSchedule, OnlyAnswersThatWaitingCannotChangeArePermanent) {
    const struct {
        int error;
        const char* reply;
        bool permanent;
    } cases[] = {
        {engine::BASS_ERROR_FILEOPEN, "HTTP/1.1 401 Unauthorized", true},
        {engine::BASS_ERROR_FILEOPEN, "HTTP/1.0 403 Forbidden", true},
        {engine::BASS_ERROR_FILEOPEN, "ICY 404 Resource Not Found", true},
        {engine::BASS_ERROR_FILEOPEN, "http/1.1 410 Gone", true},
        {engine::BASS_ERROR_SSL, "", true},
        {engine::BASS_ERROR_FILEOPEN, "HTTP/1.1 500 Internal Server Error", false},
        {engine::BASS_ERROR_FILEOPEN, "HTTP/1.1 503 Service Unavailable", false},
        {engine::BASS_ERROR_FILEOPEN, "ICY 401", true}, // no room for a reason: still a code
        {engine::BASS_ERROR_NONET, "", false},          // refused, or no route yet
        {engine::BASS_ERROR_TIMEOUT, "", false},
        {engine::BASS_ERROR_FILEOPEN, "icy-name:404", false},
        {engine::BASS_ERROR_FILEOPEN, "HTTP/1.1 4x4", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        EXPECT_EQ(IsPermanentFailure(c.error, c.reply), c.permanent);
    }
}

TEST_F(Reconnect, ADroppedStreamComesBackOnItsUrlKeepingTitleRecentAndRecording) {
    const struct {
        const char* name;
        engine::DWORD activity;
        milliseconds noticedAfter;
    } drops[] = {
        {"ended by itself", engine::BASS_ACTIVE_STOPPED, 0ms},
        {"stalled for 10 s", engine::BASS_ACTIVE_STALLED, 10s},
    };
    fake_.SetScript("http://a/1", Streams());
    fake_.SetScript("http://b/2", Streams());
    PlayOnAir(kTwoUrls, "http://a/1");
    for (const auto& d : drops) {
        SCOPED_TRACE(d.name);
        clock_.Advance(60s); // a minute on the air: each drop starts the schedule afresh
        controller_->Timer1Timer();
        const engine::HSTREAM before = State().Stream;
        const int recentChanges = view_.recentChanges;
        const size_t titlesBefore = view_.titleHistory.size();
        const size_t stopsBefore = view_.stopRecordingCalls;
        view_.recording = true;

        fake_.SetActive(before, d.activity);
        controller_->Timer1Timer();
        if (d.noticedAfter > 0ms) {
            clock_.Advance(d.noticedAfter - 100ms);
            controller_->Timer1Timer();
            EXPECT_FALSE(controller_->Reconnecting()) << "a short stall is no drop";
            clock_.Advance(100ms);
            controller_->Timer1Timer();
        }
        ASSERT_TRUE(controller_->Reconnecting());
        EXPECT_TRUE(fake_.IsFreed(before));
        ASSERT_TRUE(clock_.Pending());
        EXPECT_GE(*clock_.Pending(), 900ms);
        EXPECT_LE(*clock_.Pending(), 1100ms);
        EXPECT_EQ(view_.status, u"reconnecting... 1 s");
        EXPECT_EQ(view_.title, u"Artist - Song");
        EXPECT_TRUE(view_.playPicture);
        EXPECT_TRUE(State().PlayActive);

        RunWaitingAttempt();
        EXPECT_TRUE(Audible("http://a/1"));
        EXPECT_FALSE(controller_->Reconnecting());
        EXPECT_EQ(fake_.OpenedUrls().back(), "http://a/1");
        EXPECT_EQ(view_.status, u"Jazz Radio");
        // The title line never went blank on the way.
        for (size_t i = titlesBefore; i < view_.titleHistory.size(); ++i)
            EXPECT_EQ(view_.titleHistory[i], u"Artist - Song");
        EXPECT_EQ(view_.recentChanges, recentChanges);
        // The recording goes on from the new stream; nobody was asked.
        EXPECT_TRUE(view_.recording);
        EXPECT_EQ(view_.stopRecordingCalls, stopsBefore);
        EXPECT_EQ(view_.continuedOn.back(), State().Stream.load());
        EXPECT_EQ(view_.questions, 0);
    }
    EXPECT_EQ(recent_.Count(), 1u);
}

TEST_F(Reconnect, WhileTheServerStaysDownTheWaitsGrowAcrossTheUrlsForTenMinutes) {
    fake_.SetScript("http://a/1", Streams());
    PlayOnAir(kTwoUrls, "http://a/1");
    view_.recording = true;
    fake_.SetScript("http://a/1", Fails(engine::BASS_ERROR_NONET));
    fake_.SetScript("http://b/2", Fails(engine::BASS_ERROR_TIMEOUT));
    const size_t opensBefore = fake_.OpenedUrls().size();
    EndStream();

    const TReconnectTime dropped = clock_.Now();
    std::vector<milliseconds> waits;
    while (clock_.Pending()) {
        waits.push_back(*clock_.Pending());
        // The countdown, kept short, in the status line while it waits.
        clock_.Advance(*clock_.Pending() - 500ms);
        controller_->Timer1Timer();
        EXPECT_EQ(view_.status, u"reconnecting... 1 s");
        RunWaitingAttempt();
        ASSERT_LT(waits.size(), 30u);
    }
    const int base[] = {1, 2, 4, 8, 15, 30, 60};
    ASSERT_GE(waits.size(), 14u);
    for (size_t i = 0; i < waits.size(); ++i) {
        const int s = base[std::min<size_t>(i, 6)];
        EXPECT_GE(waits[i], milliseconds(s * 900)) << i;
        EXPECT_LE(waits[i], milliseconds(s * 1100)) << i;
    }
    EXPECT_GE(clock_.Now() - dropped, 10min);
    EXPECT_LE(clock_.Now() - dropped, 10min + 66s); // the last wait began before the 10 minutes were up

    // Same URL first, then the other in turn.
    const auto urls = fake_.OpenedUrls();
    ASSERT_EQ(urls.size(), opensBefore + waits.size());
    for (size_t i = 0; i < waits.size(); ++i)
        EXPECT_EQ(urls[opensBefore + i], i % 2 ? "http://b/2" : "http://a/1") << i;

    // Then "not playing" as for a failed attempt, shown once, at the end.
    EXPECT_FALSE(controller_->Reconnecting());
    EXPECT_EQ(view_.status, u"not playing");
    EXPECT_EQ(view_.Count(view_.statusHistory, u"not playing"), 1);
    EXPECT_FALSE(view_.playPicture);
    EXPECT_FALSE(view_.recording);
    EXPECT_EQ(view_.title, urls.back() == "http://b/2" ? u"Connection timedout"
                                                       : u"No internet connection could be opened");
    EXPECT_EQ(view_.recentChanges, 1);
}

TEST_F(Reconnect, APermanentAnswerShowsAtOnceAndAnotherUrlIsTriedWithoutWaiting) {
    const struct {
        const char* name;
        FakeAudioLibrary::Script answer;
        bool permanent;
        std::u16string title;
    } cases[] = {
        // the mount that was on the air may come back (a restarting server)
        {"404 right after the drop waits", Fails(engine::BASS_ERROR_FILEOPEN, {"HTTP/1.1 404 Not Found"}),
         false, u""},
        {"410 right after the drop waits", Fails(engine::BASS_ERROR_FILEOPEN, {"HTTP/1.0 410 Gone"}), false,
         u""},
        {"401", Fails(engine::BASS_ERROR_FILEOPEN, {"HTTP/1.1 401 Unauthorized"}), true,
         u"Can't open the file"},
        {"403", Fails(engine::BASS_ERROR_FILEOPEN, {"ICY 403 Forbidden"}), true, u"Can't open the file"},
        {"certificate", Fails(engine::BASS_ERROR_SSL), true, u"Unknown error"},
        {"503 waits", Fails(engine::BASS_ERROR_FILEOPEN, {"HTTP/1.1 503 Service Unavailable"}), false, u""},
        {"refused waits", Fails(engine::BASS_ERROR_NONET), false, u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fake_.SetScript("http://a/1", Streams());
        PlayOnAir(kOneUrl, "http://a/1");
        fake_.SetScript("http://a/1", c.answer);
        EndStream();
        RunWaitingAttempt();
        EXPECT_EQ(controller_->Reconnecting(), !c.permanent);
        EXPECT_EQ(clock_.Pending().has_value(), !c.permanent);
        if (c.permanent) {
            EXPECT_EQ(view_.status, u"not playing");
            EXPECT_EQ(view_.title, c.title);
            EXPECT_FALSE(view_.playPicture);
        } else {
            EXPECT_EQ(view_.status, u"reconnecting... 2 s");
            controller_->suiImageButton8Click(); // stop, for the next case
        }
    }

    // 404 on the first URL, sound on the second: tried at once, and kept.
    fake_.SetScript("http://a/1", Streams());
    fake_.SetScript("http://b/2", Streams());
    PlayOnAir(kTwoUrls, "http://a/1");
    fake_.SetScript("http://a/1", Fails(engine::BASS_ERROR_FILEOPEN, {"HTTP/1.1 404 Not Found"}));
    EndStream();
    RunWaitingAttempt();
    EXPECT_TRUE(Audible("http://b/2"));
    EXPECT_FALSE(controller_->Reconnecting());
    EXPECT_EQ(State().AttemptNumber, 1);
    EXPECT_EQ(view_.menu.MarkedUrl(), 1);
    // Stop and Play come back to it.
    controller_->suiImageButton8Click();
    controller_->suiImageButton8Click();
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(Audible("http://b/2"));
}

// A restarting Icecast answers 404 for the mount until its source is back:
// waited for half a minute after the drop, then it counts as permanent.
TEST_F(Reconnect, A404OnTheMountThatWasOnTheAirIsWaitedForHalfAMinute) {
    for (const bool comesBack : {true, false}) {
        SCOPED_TRACE(comesBack ? "comes back" : "stays gone");
        fake_.SetScript("http://a/1", Streams());
        PlayOnAir(kOneUrl, "http://a/1");
        fake_.SetScript("http://a/1", Fails(engine::BASS_ERROR_FILEOPEN, {"HTTP/1.1 404 Not Found"}));
        EndStream();
        const auto dropped = clock_.Now();
        RunWaitingAttempt(); // 1 s
        RunWaitingAttempt(); // 3 s
        if (comesBack) {
            fake_.SetScript("http://a/1", Streams());
            RunWaitingAttempt(); // 7 s
            EXPECT_TRUE(Audible("http://a/1"));
            EXPECT_FALSE(controller_->Reconnecting());
            controller_->suiImageButton8Click(); // stop, for the next case
            continue;
        }
        while (controller_->Reconnecting())
            RunWaitingAttempt();
        EXPECT_GE(clock_.Now() - dropped, kMountReturnGrace);
        EXPECT_LT(clock_.Now() - dropped, 2 * kMountReturnGrace + 10s); // one more wait at most
        EXPECT_EQ(view_.status, u"not playing");
        EXPECT_EQ(view_.title, u"Can't open the file");
    }
}

TEST_F(Reconnect, TheUserEndsTheWaitAndNothingReconnectsAfterwards) {
    const struct {
        const char* name;
        std::function<void(TPlaybackController&)> act;
        std::u16string status;
    } cases[] = {
        {"Play/Stop", [](TPlaybackController& c) { c.suiImageButton8Click(); }, u"not playing"},
        {"another station", [](TPlaybackController& c) { c.ChooseStation(u"Other\tD\tS\tC\tL\thttp://x"); },
         u"reconnecting... 1 s"},
        {"a stop while playing, then the stream ends", [](TPlaybackController&) {}, u"Jazz Radio"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fake_.SetScript("http://a/1", Streams());
        PlayOnAir(kOneUrl, "http://a/1");
        const engine::HSTREAM h = State().Stream;
        if (std::string(c.name).starts_with("a stop")) {
            controller_->suiImageButton8Click();
            controller_->Timer1Timer(); // freed by the user: no drop
        } else {
            EndStream();
            ASSERT_TRUE(controller_->ReconnectWaiting());
            c.act(*controller_);
        }
        EXPECT_FALSE(controller_->Reconnecting());
        EXPECT_FALSE(clock_.Pending());
        const size_t opens = fake_.OpenedUrls().size();
        clock_.Advance(11min);
        controller_->Timer1Timer();
        QTest::qWait(1);
        EXPECT_EQ(fake_.OpenedUrls().size(), opens);
        EXPECT_TRUE(fake_.IsFreed(h));
        EXPECT_TRUE(fake_.Audible().empty());
        EXPECT_EQ(view_.status, c.status);
        controller_->ChooseStation(kOneUrl);
    }
}

// A reconnect is an attempt of its request like any other: once another
// station is chosen, its stream is released unheard whenever it opens.
TEST_F(Reconnect, AReconnectSupersededWhileItConnectsNeverSounds) {
    fake_.SetScript("http://a/1", Streams());
    fake_.SetScript("http://other", Streams());
    PlayOnAir(kOneUrl, "http://a/1");
    FakeAudioLibrary::Script slow = Streams();
    slow.gate = "back";
    fake_.SetScript("http://a/1", slow);
    EndStream();
    clock_.Advance(*clock_.Pending());
    ASSERT_TRUE(QTest::qWaitFor([&] { return fake_.OpenedUrls().size() == 2; }, 10000));
    controller_->PlayStation(u"Other\tD\tS\tC\tL\thttp://other");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Audible("http://other"); }, 10000));
    fake_.Release("back");
    ASSERT_TRUE(WaitIdle());
    ASSERT_TRUE(WaitForConnectionWorkers(10s));
    QCoreApplication::processEvents();
    const engine::DWORD late = fake_.HandleFor("http://a/1");
    EXPECT_TRUE(fake_.IsFreed(late));
    EXPECT_FALSE(fake_.WasPlayed(late));
    EXPECT_EQ(fake_.Audible(), std::vector<engine::DWORD>{fake_.HandleFor("http://other")});
    EXPECT_FALSE(controller_->Reconnecting());
    EXPECT_EQ(recent_.Entry(0), u"Other\tD\tS\tC\tL\thttp://other");
}

TEST_F(Reconnect, AMinuteOnTheAirStartsTheScheduleAfresh) {
    fake_.SetScript("http://a/1", Streams());
    PlayOnAir(kOneUrl, "http://a/1");
    EndStream();
    RunWaitingAttempt();
    ASSERT_TRUE(Audible("http://a/1"));
    // Back, but dropped again within the minute: the wait has grown.
    clock_.Advance(59s);
    controller_->Timer1Timer();
    EndStream();
    ASSERT_TRUE(clock_.Pending());
    EXPECT_GE(*clock_.Pending(), 1800ms);
    RunWaitingAttempt();
    // A whole minute on the air: the next drop waits about a second again.
    clock_.Advance(60s);
    controller_->Timer1Timer();
    EndStream();
    ASSERT_TRUE(clock_.Pending());
    EXPECT_LE(*clock_.Pending(), 1100ms);
}

TEST_F(Reconnect, ReconnectNowSkipsTheWait) {
    fake_.SetScript("http://a/1", Streams());
    PlayOnAir(kOneUrl, "http://a/1");
    controller_->ReconnectNow(); // nothing waits: nothing happens
    EXPECT_EQ(fake_.OpenedUrls().size(), 1u);
    fake_.SetScript("http://a/1", Fails(engine::BASS_ERROR_NONET));
    EndStream();
    RunWaitingAttempt();
    RunWaitingAttempt();
    ASSERT_TRUE(clock_.Pending());
    EXPECT_GE(*clock_.Pending(), 3600ms);
    fake_.SetScript("http://a/1", Streams());
    controller_->ReconnectNow();
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(Audible("http://a/1"));
    EXPECT_FALSE(clock_.Pending());
}

} // namespace
