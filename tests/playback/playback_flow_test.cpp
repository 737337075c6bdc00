// Play requests against the scriptable engine: attempts and retries on worker
// threads, supersession, Play/Stop, the URL menu and the clipboard, and the
// controller's end while workers still run. The test's thread is the window's
// thread; waits run its event loop until a condition holds.

#include "fake_audio_library.h"
#include "recording_view.h"

#include "data/personal_lists.h"
#include "data/scrambled_list_file.h"
#include "playback/playback_controller.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <thread>

using namespace lumaro;
using namespace lumaro::testing;
using namespace std::chrono_literals;

namespace {

const std::u16string kTwoUrls = u"Two\tD\tS\tC\tL\thttp://a/1\thttp://b/2";

FakeAudioLibrary::Script Opens() {
    return {};
}
FakeAudioLibrary::Script Gated(const std::string& gate) {
    FakeAudioLibrary::Script s;
    s.gate = gate;
    return s;
}

class PlaybackFlow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QDir::setCurrent(dir_.path());
        controller_ = std::make_unique<TPlaybackController>(fake_, view_.Ports(), recent_);
    }
    void TearDown() override {
        controller_.reset();
        fake_.ReleaseAll();
        EXPECT_TRUE(WaitForConnectionWorkers(10s));
        QDir::setCurrent(QDir::tempPath());
    }

    const TPlayerState& State() { return controller_->State(); }
    static bool WaitUntil(const std::function<bool()>& condition) {
        return QTest::qWaitFor(condition, 10000);
    }
    // No worker runs and the last retry decision has been made.
    bool WaitIdle() {
        return WaitUntil([&] { return RunningConnectionWorkers() == 0 && !State().UrlMenuBusy; });
    }
    bool WaitAudible(const std::string& url) {
        return WaitUntil([&] {
            const engine::DWORD h = fake_.HandleFor(url);
            return h != 0 && fake_.WasPlayed(h) && !fake_.IsFreed(h);
        });
    }
    // Runs the calls into the window's thread that are queued now.
    static void Drain() { QCoreApplication::processEvents(); }
    std::vector<engine::HSTREAM> Opened() {
        std::lock_guard lock(State().Lock);
        return State().OpenedStreams;
    }

    QTemporaryDir dir_;
    FakeAudioLibrary fake_;
    RecordingView view_;
    TRecentList recent_;
    std::unique_ptr<TPlaybackController> controller_;
};

TEST_F(PlaybackFlow, TwoFailingUrlsMakeThirteenAttemptsShownFromTheSeventh) {
    fake_.SetScript("http://a/1", Fails(engine::BASS_ERROR_NONET));
    fake_.SetScript("http://b/2", Fails(engine::BASS_ERROR_TIMEOUT));
    controller_->PlayStation(kTwoUrls);
    ASSERT_TRUE(WaitIdle());

    std::vector<std::string> urls = {"http://a/1", "http://b/2"};
    urls.resize(13); // 2..12 past the URL fields: empty
    EXPECT_EQ(fake_.OpenedUrls(), urls);
    EXPECT_EQ(State().AttemptNumber, 12);

    // Attempts 0..5 fail silently; 6..12 show, each replaced by the next connect.
    int connects = 0, firstShownAfter = -1, shown = 0;
    for (const auto& s : view_.statusHistory) {
        if (s == u"connecting...") ++connects;
        if (s == u"not playing" && shown++ == 0) firstShownAfter = connects;
    }
    EXPECT_EQ(connects, 13);
    EXPECT_EQ(shown, 7);
    EXPECT_EQ(firstShownAfter, 7);
    EXPECT_EQ(view_.status, u"not playing");
    EXPECT_EQ(view_.title, u"Can't open the file");
    EXPECT_FALSE(view_.playPicture);
    EXPECT_FALSE(State().PlayActive);
    EXPECT_FALSE(State().Connecting);

    // Every attempt enters Recent (and tells the Recent view); the line is listed once.
    EXPECT_EQ(view_.recentChanges, 13);
    ASSERT_EQ(recent_.Count(), 1u);
    EXPECT_EQ(recent_.Entry(0), kTwoUrls);
    TRecentList reloaded;
    reloaded.LoadIfPresent();
    EXPECT_EQ(reloaded.Entries(), recent_.Entries());
}

TEST_F(PlaybackFlow, WithoutASecondUrlAFailureShowsAtOnce) {
    const struct {
        const char* name;
        std::u16string line;
        std::string url;
        std::u16string title;
    } cases[] = {
        {"one URL", u"One\tD\tS\tC\tL\thttp://only", "http://only", u"Connection timedout"},
        {"all URLs short", u"Short\thttp://info.example\tS\tC\tL\tab\txyz", "", u"Can't open the file"},
    };
    fake_.SetScript("http://only", Fails(engine::BASS_ERROR_TIMEOUT));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t before = fake_.OpenedUrls().size();
        controller_->PlayStation(c.line);
        ASSERT_TRUE(WaitIdle());
        const auto urls = fake_.OpenedUrls();
        ASSERT_EQ(urls.size(), before + 1);
        EXPECT_EQ(urls.back(), c.url);
        EXPECT_FALSE(State().AutoRetry);
        EXPECT_EQ(view_.status, u"not playing");
        EXPECT_EQ(view_.title, c.title);
        EXPECT_FALSE(view_.playPicture);

        // Failed: Play/Stop tries the station again.
        controller_->suiImageButton8Click();
        ASSERT_TRUE(WaitIdle());
        EXPECT_EQ(fake_.OpenedUrls().size(), before + 2);
        EXPECT_EQ(fake_.OpenedUrls().back(), c.url);
        EXPECT_EQ(view_.status, u"not playing");
    }
}

TEST_F(PlaybackFlow, ANewRequestWhileConnectingReleasesTheOldStreamUnplayed) {
    const struct {
        const char* name;
        bool sameLine;
    } cases[] = {{"another station", false}, {"the same station twice", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string slow = std::string("http://slow/") + (c.sameLine ? "same" : "other");
        const std::u16string first = u"Slow\tD\tS\tC\tL\t" + WideFromAnsi(slow);
        const std::u16string second = c.sameLine ? first : u"Fast\tD\tS\tC\tL\thttp://fast";
        fake_.SetScript(slow, Gated(slow));
        fake_.SetScript("http://fast", Opens());
        const size_t opensBefore = fake_.OpenedUrls().size();
        const size_t playsBefore = fake_.CallCount("BASS_ChannelPlay");

        controller_->PlayStation(first);
        ASSERT_TRUE(WaitUntil([&] { return fake_.OpenedUrls().size() == opensBefore + 1; }));
        controller_->PlayStation(second);
        if (c.sameLine) {
            ASSERT_TRUE(WaitUntil([&] { return fake_.OpenedUrls().size() == opensBefore + 2; }));
        } else {
            ASSERT_TRUE(WaitAudible("http://fast"));
        }
        const size_t shownBeforeRelease = view_.statusHistory.size();
        fake_.Release(slow);
        ASSERT_TRUE(WaitIdle());

        // Only one of the two requests was ever heard, and it is the current stream.
        const auto plays = fake_.Calls("BASS_ChannelPlay");
        ASSERT_EQ(plays.size(), playsBefore + 1);
        const engine::HSTREAM heard = plays.back().handle;
        EXPECT_EQ(fake_.Audible(), std::vector<engine::DWORD>{heard});
        EXPECT_EQ(State().Stream.load(), heard);
        EXPECT_EQ(Opened(), std::vector<engine::HSTREAM>{heard});
        EXPECT_EQ(view_.effectStreams.back(), heard);
        EXPECT_TRUE(view_.playPicture);
        EXPECT_FALSE(State().Connecting);
        if (!c.sameLine) {
            const engine::DWORD old = fake_.HandleFor(slow);
            EXPECT_TRUE(fake_.IsFreed(old));
            EXPECT_FALSE(fake_.WasPlayed(old));
            // The superseded attempt showed nothing once it returned.
            EXPECT_EQ(view_.statusHistory.size(), shownBeforeRelease);
        }
        controller_->suiImageButton8Click(); // stop, for the next case
    }
}

// Another station chosen while the effects go on the new stream, the last
// step before it plays: the stream must be released without sounding, since
// it may lack the effects (a muted player would blare for a block).
TEST_F(PlaybackFlow, AnAttemptSupersededAsItsEffectsGoOnNeverSounds) {
    fake_.SetScript("http://a/1", Opens());
    view_.onApplyEffects = [&](engine::HSTREAM) {
        view_.onApplyEffects = nullptr;
        controller_->ChooseStation(u"Other\tD\tS\tC\tL\thttp://other");
    };
    controller_->PlayStation(kTwoUrls);
    ASSERT_TRUE(WaitIdle());
    ASSERT_TRUE(WaitForConnectionWorkers(10s));
    const engine::DWORD h = fake_.HandleFor("http://a/1");
    ASSERT_NE(h, 0u);
    EXPECT_FALSE(fake_.WasPlayed(h));
    EXPECT_TRUE(fake_.IsFreed(h));
    EXPECT_TRUE(fake_.Audible().empty());
    EXPECT_TRUE(Opened().empty());
}

TEST_F(PlaybackFlow, PlayStopInEachState) {
    // No station chosen: the message, nothing else.
    controller_->suiImageButton8Click();
    EXPECT_EQ(view_.messages, std::vector<std::u16string>{u"Please double-click a station to play"});
    EXPECT_TRUE(fake_.OpenedUrls().empty());
    EXPECT_FALSE(view_.playPicture);

    // Connecting: ignored.
    fake_.SetScript("http://a/1", Gated("a"));
    controller_->PlayStation(kTwoUrls);
    ASSERT_TRUE(WaitUntil([&] { return fake_.OpenedUrls().size() == 1; }));
    controller_->suiImageButton8Click();
    EXPECT_TRUE(State().PlayActive);
    EXPECT_TRUE(view_.playPicture);
    fake_.Release("a");
    ASSERT_TRUE(WaitIdle());
    ASSERT_TRUE(WaitAudible("http://a/1"));
    EXPECT_EQ(fake_.OpenedUrls().size(), 1u);
    const engine::HSTREAM h = State().Stream;

    // Stop while recording, answered No: playing and recording go on.
    view_.recording = true;
    view_.answerYes = false;
    controller_->suiImageButton8Click();
    EXPECT_EQ(view_.questions, 1);
    EXPECT_TRUE(view_.recording);
    EXPECT_EQ(view_.stopRecordingCalls, 1); // only the prologue's
    EXPECT_TRUE(State().PlayActive);
    EXPECT_TRUE(view_.playPicture);
    EXPECT_FALSE(fake_.IsFreed(h));

    // A new station while recording, answered No: the current one goes on.
    controller_->PlayStation(u"Other\tD\tS\tC\tL\thttp://other");
    EXPECT_EQ(view_.questions, 2);
    EXPECT_FALSE(fake_.IsFreed(h));
    EXPECT_TRUE(view_.recording);
    Drain();
    EXPECT_EQ(fake_.OpenedUrls().size(), 1u);
    controller_->ChooseStation(kTwoUrls);

    // Answered Yes: the recording ends and the stream is released; texts stay.
    view_.answerYes = true;
    const std::u16string status = view_.status;
    controller_->suiImageButton8Click();
    EXPECT_FALSE(view_.recording);
    EXPECT_TRUE(fake_.IsFreed(h));
    EXPECT_FALSE(State().PlayActive);
    EXPECT_FALSE(view_.playPicture);
    EXPECT_EQ(view_.status, status);
    controller_->Timer1Timer();
    EXPECT_EQ(view_.meter.back(), 0);
    // The stop is final: no retry follows although the stream is inactive.
    ASSERT_TRUE(WaitIdle());
    Drain();
    EXPECT_EQ(RunningConnectionWorkers(), 0);
    EXPECT_EQ(fake_.OpenedUrls().size(), 1u);

    // Play again: the same station, same URL.
    controller_->suiImageButton8Click();
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(fake_.OpenedUrls(), (std::vector<std::string>{"http://a/1", "http://a/1"}));
    EXPECT_TRUE(view_.playPicture);
}

TEST_F(PlaybackFlow, AfterARetryOnTheSecondUrlStopAndPlayReconnectThere) {
    fake_.SetScript("http://a/1", Fails(engine::BASS_ERROR_NONET));
    fake_.SetScript("http://b/2", Opens());
    controller_->PlayStation(kTwoUrls);
    ASSERT_TRUE(WaitIdle());
    ASSERT_TRUE(WaitAudible("http://b/2"));
    EXPECT_EQ(State().AttemptNumber, 1);
    EXPECT_EQ(view_.menu.MarkedUrl(), 1);
    EXPECT_EQ(view_.Count(view_.statusHistory, u"not playing"), 0);
    EXPECT_EQ(Opened(), std::vector<engine::HSTREAM>{fake_.HandleFor("http://b/2")});

    controller_->suiImageButton8Click();
    controller_->suiImageButton8Click();
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(fake_.OpenedUrls(), (std::vector<std::string>{"http://a/1", "http://b/2", "http://b/2"}));
    EXPECT_TRUE(WaitAudible("http://b/2"));
}

TEST_F(PlaybackFlow, ASuccessfulAttemptShowsBufferingThenHeadersAndTitle) {
    FakeAudioLibrary::Script s;
    s.buffered = {10, 40, 40, 40, 80};
    s.replyLines = {"HTTP/1.0 200 OK"};
    s.tags[engine::BASS_TAG_ICY] = TagList({"HTTP/1.0 200 OK", "icy-name:Jazz Radio", "icy-br:128"});
    s.tags[engine::BASS_TAG_META] = std::string("StreamTitle='Artist - Song';StreamUrl='';") + '\0';
    fake_.SetScript("http://only", s);
    controller_->SetTimeoutSeconds(7);
    bool playedBeforeEffects = true;
    view_.onApplyEffects = [&](engine::HSTREAM h) { playedBeforeEffects = fake_.WasPlayed(h); };

    controller_->PlayStation(u"Jazz\tD\tS\tC\tL\thttp://only");
    ASSERT_TRUE(WaitIdle());
    const engine::HSTREAM h = fake_.HandleFor("http://only");
    EXPECT_EQ(view_.statusHistory,
              (std::vector<std::u16string>{u"connecting...", u"buffering... 10%", u"buffering... 40%",
                                           u"buffering... 80%", u"Jazz Radio"}));
    EXPECT_EQ(view_.bitrateHistory, (std::vector<std::u16string>{u"", u"HTTP/1.0 200 OK", u"bitrate: 128"}));
    EXPECT_EQ(view_.title, u"Artist - Song");
    EXPECT_EQ(view_.effectStreams, std::vector<engine::HSTREAM>{h});
    EXPECT_FALSE(playedBeforeEffects);
    EXPECT_TRUE(fake_.WasPlayed(h));

    bool timeoutSet = false;
    for (const auto& c : fake_.Calls("BASS_SetConfig"))
        timeoutSet |= c.handle == engine::BASS_CONFIG_NET_TIMEOUT && c.value == 7000;
    EXPECT_TRUE(timeoutSet);
    const auto opens = fake_.Calls("BASS_StreamCreateURL");
    EXPECT_EQ(opens.back().value, static_cast<long long>(engine::BASS_STREAM_STATUS));

    // A later title arrives through the metadata callback, on an engine thread.
    std::thread engineThread([&] { fake_.FireMeta(h, "StreamTitle='Next Song';"); });
    EXPECT_TRUE(WaitUntil([&] { return view_.title == u"Next Song"; }));
    engineThread.join();

    // A header name is not replaced once sound arrives.
    fake_.SetLevels(h, {20000});
    controller_->Timer1Timer();
    EXPECT_EQ(view_.status, u"Jazz Radio");
    EXPECT_GT(view_.meter.back(), 0);
}

TEST_F(PlaybackFlow, BufferingWaitEnds) {
    const struct {
        const char* name;
        std::vector<engine::QWORD> buffered;
        engine::QWORD fileLength;
        bool plays;
        std::u16string title;
    } cases[] = {
        {"no length to measure: counts as buffered", {0}, 0, true, u""},
        {"buffer read fails before 75 %",
         {10, engine::BASS_POSITION_FAILED},
         100,
         false,
         u"Requested data is not available"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string url = "http://case/" + std::to_string(n++);
        FakeAudioLibrary::Script s;
        s.buffered = c.buffered;
        s.fileLength = c.fileLength;
        fake_.SetScript(url, s);
        controller_->PlayStation(u"Case\tD\tS\tC\tL\t" + WideFromAnsi(url));
        ASSERT_TRUE(WaitIdle());
        const engine::DWORD h = fake_.HandleFor(url);
        EXPECT_EQ(fake_.WasPlayed(h), c.plays);
        EXPECT_EQ(fake_.IsFreed(h), !c.plays);
        EXPECT_EQ(view_.playPicture, c.plays);
        EXPECT_EQ(view_.title, c.title);
    }
}

TEST_F(PlaybackFlow, OnlyAnInactiveStreamIsRetried) {
    const struct {
        const char* name;
        engine::DWORD active;
        std::vector<std::string> urls;
    } cases[] = {
        {"playing", engine::BASS_ACTIVE_PLAYING, {"http://a/1"}},
        {"stalled counts as active", engine::BASS_ACTIVE_STALLED, {"http://a/1"}},
        {"stopped at once", engine::BASS_ACTIVE_STOPPED, {"http://a/1", "http://b/2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeAudioLibrary fake;
        RecordingView view;
        TPlaybackController controller(fake, view.Ports(), recent_);
        FakeAudioLibrary::Script s;
        s.activeWhenPlaying = c.active;
        fake.SetScript("http://a/1", s);
        fake.SetScript("http://b/2", Opens());
        controller.PlayStation(kTwoUrls);
        ASSERT_TRUE(
            WaitUntil([&] { return RunningConnectionWorkers() == 0 && !controller.State().UrlMenuBusy; }));
        EXPECT_EQ(fake.OpenedUrls(), c.urls);
        EXPECT_EQ(view.Count(view.statusHistory, u"not playing"), 0);
        EXPECT_TRUE(view.playPicture);
    }
}

TEST_F(PlaybackFlow, PlayUrlFromClipboard) {
    controller_->BuildUrlMenu();
    const size_t playClipboard = 2;
    ASSERT_EQ(State().UrlMenu.Entries[playClipboard].Caption, kPlayClipboardCaption);

    // Text without "://" starts nothing.
    view_.clipboard = u"just words";
    controller_->UrlMenuItemClick(playClipboard);
    EXPECT_TRUE(State().StationLine.empty());
    EXPECT_TRUE(fake_.OpenedUrls().empty());

    fake_.SetScript("http://clip/stream", Opens());
    view_.clipboard = u"http://clip/stream\r\nsecond line";
    controller_->UrlMenuItemClick(playClipboard);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(fake_.OpenedUrls(), std::vector<std::string>{"http://clip/stream"});
    EXPECT_EQ(State().StationLine, u"http://clip/stream\t");
    ASSERT_GE(recent_.Count(), 1u);
    EXPECT_EQ(recent_.Entry(0), u"http://clip/stream\t");
    EXPECT_EQ(view_.menu.Label, "URL (0)");
    ASSERT_EQ(view_.menu.UrlEntryCount(), 1u);
    EXPECT_EQ(view_.menu.Entries[0], (TUrlMenuEntry{"http://clip/stream", true}));
    EXPECT_TRUE(State().ClipboardMode);
    EXPECT_FALSE(State().AutoRetry);
    ASSERT_TRUE(WaitAudible("http://clip/stream"));

    // Once sound arrives the status line shows the line itself, TAB included, as the name.
    EXPECT_EQ(view_.status, u"buffering... 100%");
    fake_.SetLevels(fake_.HandleFor("http://clip/stream"), {5000});
    controller_->Timer1Timer();
    EXPECT_EQ(view_.status, u"http://clip/stream\t");

    // A clipboard URL that cannot be opened shows its failure at once; nothing else is tried.
    fake_.SetScript("http://clip/dead", Fails(engine::BASS_ERROR_FILEFORM));
    view_.clipboard = u"http://clip/dead";
    ASSERT_EQ(State().UrlMenu.Entries[3].Caption, kPlayClipboardCaption); // below the clipboard URL now
    controller_->UrlMenuItemClick(3);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(fake_.OpenedUrls(), (std::vector<std::string>{"http://clip/stream", "http://clip/dead"}));
    EXPECT_EQ(view_.status, u"not playing");
    EXPECT_EQ(view_.title, u"Unsupported file format");
    EXPECT_TRUE(fake_.IsFreed(fake_.HandleFor("http://clip/stream")));
}

TEST_F(PlaybackFlow, UrlMenuSwitchesCopiesAndStaysShutWhileBusy) {
    // Copy with nothing taken yet leaves the clipboard alone.
    controller_->BuildUrlMenu();
    view_.clipboard = u"keep";
    controller_->UrlMenuItemClick(1);
    EXPECT_EQ(view_.clipboard, u"keep");

    fake_.SetScript("http://a/1", Gated("a"));
    fake_.SetScript("http://b/2", Opens());
    controller_->PlayStation(kTwoUrls);
    ASSERT_TRUE(WaitUntil([&] { return fake_.OpenedUrls().size() == 1; }));
    controller_->suiImageButton3MouseUp();
    EXPECT_EQ(view_.popups, 0);
    fake_.Release("a");
    ASSERT_TRUE(WaitIdle());
    ASSERT_TRUE(WaitAudible("http://a/1"));
    controller_->suiImageButton3MouseUp();
    EXPECT_EQ(view_.popups, 1);
    const engine::HSTREAM first = fake_.HandleFor("http://a/1");

    // Copy takes the marked entry.
    controller_->UrlMenuItemClick(3);
    EXPECT_EQ(view_.clipboard, u"http://a/1");

    // Choosing the second URL: the first stops, the second plays, the mark moves.
    controller_->UrlMenuItemClick(1);
    ASSERT_TRUE(WaitIdle());
    ASSERT_TRUE(WaitAudible("http://b/2"));
    EXPECT_TRUE(fake_.IsFreed(first));
    EXPECT_EQ(view_.menu.MarkedUrl(), 1);
    EXPECT_FALSE(State().AutoRetry);
    EXPECT_EQ(State().StationLine, kTwoUrls);
    EXPECT_EQ(State().AttemptNumber, 0);
    controller_->UrlMenuItemClick(3);
    EXPECT_EQ(view_.clipboard, u"http://b/2");

    // The separator cannot be chosen.
    const size_t opens = fake_.OpenedUrls().size();
    controller_->UrlMenuItemClick(2);
    controller_->UrlMenuItemClick(99);
    EXPECT_EQ(fake_.OpenedUrls().size(), opens);
}

TEST_F(PlaybackFlow, AnUnwritableRecentFileDoesNotStopPlaying) {
    // A directory where rec.dat should be: no write can replace it, even as root.
    ASSERT_TRUE(QDir(dir_.path()).mkdir("rec.dat"));
    fake_.SetScript("http://only", Opens());
    controller_->PlayStation(u"One\tD\tS\tC\tL\thttp://only");
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(WaitAudible("http://only"));
    EXPECT_EQ(fake_.OpenedUrls(), std::vector<std::string>{"http://only"});
    ASSERT_EQ(recent_.Count(), 1u);
    EXPECT_TRUE(QFileInfo(dir_.filePath("rec.dat")).isDir());
}

// Requests in quick succession, some still connecting, some retrying, some
// stopped: whatever the interleaving, exactly the last station is heard and
// every other stream opened on the way is released.
TEST_F(PlaybackFlow, ManyQuickRequestsLeaveOnlyTheLastStationPlaying) {
    fake_.SetScript("http://slow", Gated("slow"));
    fake_.SetScript("http://ok", Opens());
    fake_.SetScript("http://dead", Fails(engine::BASS_ERROR_NONET));
    const std::u16string kinds[] = {u"\thttp://slow", u"\thttp://ok", u"\thttp://dead\thttp://ok",
                                    u"\thttp://dead\thttp://slow"};
    for (int i = 0; i < 40; ++i) {
        const size_t shown = view_.statusHistory.size();
        controller_->PlayStation(u"S" + WideFromAnsi(std::to_string(i)) + u"\tD\tS\tC\tL" + kinds[i % 4]);
        if (i % 7 == 3) controller_->suiImageButton8Click();
        if (i == 20) fake_.Release("slow");
        // The next request comes at once, after the window's queued calls, or
        // once this request's worker has said that it connects.
        if (i % 3 == 1) Drain();
        if (i % 3 == 2) {
            ASSERT_TRUE(WaitUntil([&] { return view_.statusHistory.size() > shown; }));
        }
    }
    fake_.Release("slow");
    controller_->PlayStation(u"Last\tD\tS\tC\tL\thttp://ok");
    ASSERT_TRUE(WaitIdle());
    ASSERT_TRUE(WaitForConnectionWorkers(10s));
    Drain();
    const engine::HSTREAM last = State().Stream;
    EXPECT_NE(last, 0u);
    EXPECT_EQ(fake_.Audible(), std::vector<engine::DWORD>{last});
    EXPECT_EQ(view_.effectStreams.back(), last);
    EXPECT_EQ(State().StationLine, u"Last\tD\tS\tC\tL\thttp://ok");
    EXPECT_FALSE(State().Connecting);
    EXPECT_TRUE(view_.playPicture);
}

// The window may go while workers still run: they end by themselves, release
// what they opened and never touch the gone window.
TEST_F(PlaybackFlow, ControllerEndsWhileAWorkerWaitsForTheNetwork) {
    fake_.SetScript("http://a/1", Gated("a"));
    controller_->PlayStation(kTwoUrls);
    ASSERT_TRUE(WaitUntil([&] { return fake_.OpenedUrls().size() == 1; }));
    const size_t shown = view_.statusHistory.size();
    controller_.reset();
    fake_.Release("a");
    ASSERT_TRUE(WaitForConnectionWorkers(10s));
    Drain();
    const engine::DWORD h = fake_.HandleFor("http://a/1");
    EXPECT_TRUE(fake_.IsFreed(h));
    EXPECT_FALSE(fake_.WasPlayed(h));
    EXPECT_EQ(view_.statusHistory.size(), shown);
}

TEST_F(PlaybackFlow, ControllerEndsWhileAWorkerWaitsForTheWindow) {
    fake_.SetScript("http://a/1", Opens());
    controller_->PlayStation(kTwoUrls);
    // The worker has released the previous stream and now sends "connecting...",
    // which waits for this thread; this thread does not run its event loop.
    ASSERT_TRUE(fake_.WaitForCalls("BASS_StreamFree", 1));
    controller_.reset();
    ASSERT_TRUE(WaitForConnectionWorkers(10s));
    Drain();
    EXPECT_TRUE(view_.statusHistory.empty());
    EXPECT_TRUE(fake_.Audible().empty());
}

} // namespace
