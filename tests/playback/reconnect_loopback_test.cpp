// Staying on the air with the real engine against a loopback ICY server whose
// connections follow a script of faults: the server closes the stream, stops
// sending with the socket open, refuses connections for a while, answers 404
// on one URL, restarts with another title. The test's thread is the window's
// thread, with the status timer ticking as in the window; the clock is the
// system's. Each case prints the time from the fault to sound again.

#include "recording_view.h"

#include "tests/engine_net/test_server.h"

#include "data/personal_lists.h"
#include "data/scrambled_list_file.h"
#include "engine/audio_engine.h"
#include "playback/playback_controller.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

using namespace lumaro;
using namespace lumaro::testing;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

// What one connection to a path does.
struct ConnectionScript {
    bool notFound = false;
    std::string title = "First";
    std::optional<milliseconds> closeAfter; // then the server closes it
    std::optional<milliseconds> stallAfter; // then sends nothing more, socket open
};
using StationScript = std::function<ConnectionScript(int connection)>;

// An MP3 stream at its own pace (a burst, then 128 kbps); marks when a fault begins.
class ScriptedStation {
public:
    explicit ScriptedStation(std::string mp3) : mp3_(std::move(mp3)) {}

    void Serve(TestServer& server, const std::string& path, StationScript script) {
        server.Handle(
            path, [this, script, counter = std::make_shared<std::atomic<int>>(0)](TestConnection& c) {
                const ConnectionScript k = script((*counter)++);
                if (k.notFound) {
                    c.Send("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
                    return;
                }
                constexpr std::size_t kMetaint = 8192;
                const std::string body = BuildIcyBody(kMetaint, mp3_, {"StreamTitle='" + k.title + "';"});
                if (!c.Send("ICY 200 OK\r\ncontent-type:audio/mpeg\r\nicy-name:Loop FM\r\nicy-br:128\r\n"
                            "icy-metaint:8192\r\n\r\n"))
                    return;
                const auto start = Clock::now();
                std::size_t sent = 0;
                for (std::size_t piece = 40000; sent < body.size(); piece = 4000) {
                    const std::size_t n = std::min(piece, body.size() - sent);
                    if (!c.Send(std::string_view(body).substr(sent, n))) return;
                    sent += n;
                    const auto played = Clock::now() - start;
                    if (k.closeAfter && played >= *k.closeAfter) return MarkFault();
                    if (k.stallAfter && played >= *k.stallAfter) {
                        MarkFault();
                        return c.WaitUntilClosed();
                    }
                    if (!c.Sleep(250ms)) return;
                }
                c.WaitUntilClosed();
            });
    }
    std::optional<Clock::time_point> FaultAt() const {
        std::lock_guard lock(mutex_);
        return faultAt_;
    }

private:
    void MarkFault() {
        std::lock_guard lock(mutex_);
        faultAt_ = Clock::now();
    }
    const std::string mp3_;
    mutable std::mutex mutex_;
    std::optional<Clock::time_point> faultAt_;
};

ConnectionScript Plays(std::string title = "First") {
    return {false, std::move(title), std::nullopt, std::nullopt};
}
ConnectionScript ClosesAfter2s() {
    return {false, "First", 2s, std::nullopt};
}

class LoopbackReconnect : public ::testing::Test {
protected:
    static void SetUpTestSuite() { mp3_ = new std::string(ToneMp3(30.0)); }
    static void TearDownTestSuite() { delete mp3_; }

    void SetUp() override {
        ASSERT_FALSE(mp3_->empty()) << "lame is needed (scripts/install-deps.sh)";
        ASSERT_TRUE(dir_.isValid());
        QDir::setCurrent(dir_.path());
        engine_ = std::make_unique<engine::AudioEngine>([] { return engine::MakeNullOutput(); });
        controller_ = std::make_unique<TPlaybackController>(*engine_, view_.Ports(), recent_);
        ASSERT_FALSE(controller_->InitAudioEngine(nullptr).EndProgram());
        server_ = std::make_unique<TestServer>();
        QObject::connect(&timer1_, &QTimer::timeout, [this] { controller_->Timer1Timer(); });
        timer1_.start(70);
    }
    void TearDown() override {
        timer1_.stop();
        controller_.reset();
        EXPECT_TRUE(WaitForConnectionWorkers(30s));
        if (engine_) engine_->BASS_Free();
        server_.reset();
        QDir::setCurrent(QDir::tempPath());
    }

    std::u16string Line(std::initializer_list<std::string> paths) {
        std::u16string line = u"Loop\tD\tS\tC\tL";
        for (const std::string& p : paths)
            line += u"\t" + WideFromAnsi(server_->Url(p));
        return line;
    }
    bool Sounds() {
        const engine::HSTREAM h = controller_->State().Stream.load();
        return !controller_->Reconnecting() &&
               engine_->BASS_ChannelIsActive(h) == engine::BASS_ACTIVE_PLAYING && !view_.meter.empty() &&
               view_.meter.back() > 0;
    }
    // Plays line until it sounds.
    void PlayUntilSound(const std::u16string& line) {
        controller_->PlayStation(line);
        ASSERT_TRUE(QTest::qWaitFor([&] { return Sounds(); }, 15000));
    }
    // Waits for the fault and the player noticing it.
    void WaitForDrop(ScriptedStation& station) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return station.FaultAt().has_value(); }, 15000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return controller_->Reconnecting(); }, 20000));
    }
    // Waits for sound on a new stream; the time from the fault to it.
    milliseconds WaitForSoundAgain(ScriptedStation& station, const char* fault, milliseconds within) {
        const engine::HSTREAM dropped = controller_->State().Stream.load();
        const bool back =
            QTest::qWaitFor([&] { return controller_->State().Stream.load() != dropped && Sounds(); },
                            static_cast<int>(within.count()));
        const auto took = std::chrono::duration_cast<milliseconds>(Clock::now() - *station.FaultAt());
        std::printf("[ reconnect ] %s: sound again %.1f s after the fault\n", fault, took.count() / 1000.0);
        EXPECT_TRUE(back) << fault;
        return took;
    }
    void RestartServer() {
        const std::uint16_t port = server_->Port();
        server_.reset();
        server_ = std::make_unique<TestServer>(port);
    }

    static std::string* mp3_;
    QTemporaryDir dir_;
    RecordingView view_;
    TRecentList recent_;
    std::unique_ptr<engine::AudioLibrary> engine_;
    std::unique_ptr<TPlaybackController> controller_;
    std::unique_ptr<TestServer> server_;
    QTimer timer1_;
};
std::string* LoopbackReconnect::mp3_ = nullptr;

TEST_F(LoopbackReconnect, TheServerClosesTheStream) {
    ScriptedStation station(*mp3_);
    station.Serve(*server_, "/live", [](int n) { return n == 0 ? ClosesAfter2s() : Plays(); });
    PlayUntilSound(Line({"/live"}));
    WaitForDrop(station);
    EXPECT_TRUE(view_.playPicture);
    EXPECT_EQ(view_.title, u"First");
    const auto took = WaitForSoundAgain(station, "server closed the stream", 15s);
    // What was buffered plays out first, then about a second's wait.
    EXPECT_LT(took, 10s);
    EXPECT_EQ(recent_.Count(), 1u);
    EXPECT_EQ(view_.recentChanges, 1);
}

TEST_F(LoopbackReconnect, TheServerStopsSendingWithTheSocketOpen) {
    ScriptedStation station(*mp3_);
    station.Serve(*server_, "/live", [](int n) {
        ConnectionScript k = Plays();
        if (n == 0) k.stallAfter = 2s;
        return k;
    });
    PlayUntilSound(Line({"/live"}));
    WaitForDrop(station);
    // The buffers play out, then 10 s of silence make it a drop.
    const auto took = WaitForSoundAgain(station, "server stopped sending", 30s);
    EXPECT_GE(took, 10s);
    EXPECT_LT(took, 25s);
}

TEST_F(LoopbackReconnect, TheServerRefusesConnectionsForAWhile) {
    ScriptedStation station(*mp3_);
    station.Serve(*server_, "/live", [](int) { return ClosesAfter2s(); });
    PlayUntilSound(Line({"/live"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return station.FaultAt().has_value(); }, 15000));
    const std::uint16_t port = server_->Port();
    server_.reset(); // nobody listens: connections are refused
    // Two refused attempts, after about 1 and 2 s; the next waits about 4 s.
    ASSERT_TRUE(QTest::qWaitFor([&] { return view_.status == u"reconnecting... 4 s"; }, 20000));
    EXPECT_EQ(view_.Count(view_.statusHistory, u"not playing"), 0);
    server_ = std::make_unique<TestServer>(port);
    station.Serve(*server_, "/live", [](int) { return Plays(); });
    const auto took = WaitForSoundAgain(station, "server refused connections for two attempts", 20s);
    EXPECT_LT(took, 16s);
}

TEST_F(LoopbackReconnect, A404OnTheFirstUrlTheSecondStreams) {
    ScriptedStation station(*mp3_);
    station.Serve(*server_, "/a", [](int n) {
        ConnectionScript k = ClosesAfter2s();
        k.notFound = n > 0;
        return k;
    });
    station.Serve(*server_, "/b", [](int) { return Plays(); });
    PlayUntilSound(Line({"/a", "/b"}));
    WaitForDrop(station);
    const auto took = WaitForSoundAgain(station, "404 on the first URL, the second streams", 15s);
    EXPECT_LT(took, 10s);
    EXPECT_EQ(view_.menu.MarkedUrl(), 1);
    EXPECT_EQ(controller_->State().AttemptNumber, 1);
}

// A restarting server's mount answers 404 until its source is back: the
// only URL is waited for, and sound returns with the mount.
TEST_F(LoopbackReconnect, A404OnTheOnlyUrlWhileTheMountComesBack) {
    ScriptedStation station(*mp3_);
    station.Serve(*server_, "/a", [](int n) {
        ConnectionScript k = ClosesAfter2s();
        k.notFound = n == 1 || n == 2;
        return k;
    });
    PlayUntilSound(Line({"/a"}));
    WaitForDrop(station);
    const auto took = WaitForSoundAgain(station, "404 on the only URL twice, then the mount is back", 20s);
    EXPECT_LT(took, 16s);
    EXPECT_EQ(view_.menu.MarkedUrl(), 0);
}

TEST_F(LoopbackReconnect, TheServerRestartsWithAnotherTitle) {
    ScriptedStation station(*mp3_);
    station.Serve(*server_, "/live", [](int) { return ClosesAfter2s(); });
    PlayUntilSound(Line({"/live"}));
    ASSERT_EQ(view_.title, u"First");
    ASSERT_TRUE(QTest::qWaitFor([&] { return station.FaultAt().has_value(); }, 15000));
    const size_t titles = view_.titleHistory.size();
    const std::uint16_t port = server_->Port();
    server_.reset();
    server_ = std::make_unique<TestServer>(port);
    station.Serve(*server_, "/live", [](int) { return Plays("Second"); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return controller_->Reconnecting(); }, 20000));
    EXPECT_EQ(view_.title, u"First") << "the last title stays while it reconnects";
    WaitForSoundAgain(station, "server restarted with another title", 15s);
    EXPECT_TRUE(QTest::qWaitFor([&] { return view_.title == u"Second"; }, 5000));
    for (size_t i = titles; i < view_.titleHistory.size(); ++i)
        EXPECT_FALSE(view_.titleHistory[i].empty()) << "the title line never went blank";
    EXPECT_EQ(view_.status, u"Loop FM");
}

} // namespace
