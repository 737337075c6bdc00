// The PulseAudio output against a private pulseaudio daemon (pulse_fixture.sh)
// whose null sink's monitor is recorded by parec: a rendered tone must arrive
// at the sink, stop when the output stops, come back after the source stalls,
// and a missing or mute server must give no output rather than a hang.
#include "engine/output/audio_output.h"
#include "tests/support/capture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lumaro::engine {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr int kRate = 44100;
constexpr double kToneHz = 1000.0;
constexpr float kToneAmplitude = 0.5f;
constexpr std::size_t kWindow = kRate / 10; // frames looked at together: 100 ms

void UseServer(const std::string& state) {
    ::setenv("PULSE_SERVER", ("unix:" + state + "/native").c_str(), 1);
    ::setenv("PULSE_CLIENTCONFIG", (state + "/client.conf").c_str(), 1);
}

// A 1 kHz tone; on request the next Render blocks until released, so the
// server runs dry as under a stalled mixer.
class ToneSource : public RenderSource {
public:
    void Render(float* out, int frames) noexcept override {
        // Output's thread.
        if (stopped) ++calls_after_stop;
        {
            std::unique_lock lock(mutex_);
            if (stall_next_) {
                stall_next_ = false;
                stalled_ = true;
                changed_.notify_all();
                changed_.wait(lock, [this] { return !stalled_; });
            }
            ++calls_;
            changed_.notify_all();
        }
        for (int i = 0; i < frames; ++i) {
            const float s = kToneAmplitude * static_cast<float>(std::sin(phase_));
            phase_ += 2 * M_PI * kToneHz / kRate;
            if (phase_ > 2 * M_PI) phase_ -= 2 * M_PI;
            out[2 * i] = out[2 * i + 1] = s;
        }
    }
    bool WaitForCalls(std::uint64_t n) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 10s, [&] { return calls_ >= n; });
    }
    std::uint64_t Calls() {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    void StallNext() {
        std::lock_guard lock(mutex_);
        stall_next_ = true;
    }
    bool WaitUntilStalled() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 10s, [&] { return stalled_; });
    }
    void Release() {
        std::lock_guard lock(mutex_);
        stalled_ = false;
        changed_.notify_all();
    }

    std::atomic<bool> stopped{false};
    std::atomic<int> calls_after_stop{0};

private:
    double phase_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::uint64_t calls_ = 0; // mutex_
    bool stall_next_ = false; // mutex_
    bool stalled_ = false;    // mutex_
};

// parec on the null sink's monitor: what the sink played, 16-bit stereo.
class Monitor {
public:
    Monitor() {
        int fds[2];
        if (::pipe(fds) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(fds[1], 1);
            ::close(fds[0]);
            ::close(fds[1]);
            ::execlp("parec", "parec", "-d", "lumaro_null.monitor", "--raw", "--format=s16le", "--rate=44100",
                     "--channels=2", "--latency-msec=10", "--client-name=monitor",
                     static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        fd_ = fds[0];
    }
    ~Monitor() {
        if (fd_ >= 0) ::close(fd_);
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    std::size_t Frames() const { return samples_.size() / 2; }

    // Reads on until `found` holds for what was recorded (it gets the
    // samples), up to a generous time-out. npos when it never did.
    std::size_t ReadUntil(const std::function<std::size_t(const std::vector<std::int16_t>&)>& found) {
        const auto deadline = Clock::now() + 15s;
        for (;;) {
            const std::size_t at = found(samples_);
            if (at != npos) return at;
            if (Clock::now() >= deadline || !ReadSome()) return npos;
        }
    }
    // Reads until `frames` more frames arrived (the server's own clock).
    bool ReadFrames(std::size_t frames) {
        const std::size_t until = Frames() + frames;
        return ReadUntil([&](const auto&) { return Frames() >= until ? Frames() : npos; }) != npos;
    }

    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

private:
    bool ReadSome() {
        if (fd_ < 0) return false;
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 1000) <= 0) return true;
        char buf[8192];
        const ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n <= 0) return false;
        pending_.append(buf, static_cast<std::size_t>(n));
        const std::size_t whole = pending_.size() / 4 * 4;
        const auto* s = reinterpret_cast<const std::int16_t*>(pending_.data());
        samples_.insert(samples_.end(), s, s + whole / 2);
        pending_.erase(0, whole);
        return true;
    }

    pid_t pid_ = -1;
    int fd_ = -1;
    std::string pending_;
    std::vector<std::int16_t> samples_;
};

// True when frames [first, first + kWindow) hold the tone on both channels:
// its level and its zero crossings (two per cycle).
bool ToneAt(const std::vector<std::int16_t>& s, std::size_t first) {
    if ((first + kWindow) * 2 > s.size()) return false;
    for (int ch = 0; ch < 2; ++ch) {
        double power = 0;
        int crossings = 0;
        for (std::size_t i = first; i < first + kWindow; ++i) {
            const double x = s[2 * i + ch] / 32768.0;
            power += x * x;
            if (i > first && (s[2 * (i - 1) + ch] < 0) != (s[2 * i + ch] < 0)) ++crossings;
        }
        const double rms = std::sqrt(power / kWindow);
        if (std::fabs(rms - kToneAmplitude / std::sqrt(2.0)) > 0.05) return false;
        if (std::abs(crossings - 200) > 10) return false;
    }
    return true;
}

bool SilentAt(const std::vector<std::int16_t>& s, std::size_t first, std::size_t frames) {
    if ((first + frames) * 2 > s.size()) return false;
    for (std::size_t i = first * 2; i < (first + frames) * 2; ++i)
        if (std::abs(s[i]) >= 328) return false;
    return true;
}

// The first frame at or after `from` where the tone is heard, npos if none yet.
std::size_t FindTone(const std::vector<std::int16_t>& s, std::size_t from) {
    for (std::size_t f = from; (f + kWindow) * 2 <= s.size(); f += kWindow / 10)
        if (ToneAt(s, f)) return f;
    return Monitor::npos;
}

std::size_t FindSilence(const std::vector<std::int16_t>& s, std::size_t from, std::size_t frames) {
    for (std::size_t f = from; (f + frames) * 2 <= s.size(); f += kWindow / 10)
        if (SilentAt(s, f, frames)) return f;
    return Monitor::npos;
}

class PulseOutputTest : public ::testing::Test {
protected:
    void SetUp() override { UseServer(PULSE_STATE); }
};

TEST_F(PulseOutputTest, ToneReachesTheSinkAndStopsWithStop) {
    Monitor monitor;
    auto out = MakePulseOutput();
    ASSERT_TRUE(out);
    EXPECT_STREQ(out->Name(), "pulse");
    ToneSource tone;
    ASSERT_TRUE(out->Start(tone));
    const std::size_t heard = monitor.ReadUntil([](const auto& s) { return FindTone(s, 0); });
    ASSERT_NE(heard, Monitor::npos) << "no tone at the sink's monitor";

    // Stop returns with Render finished and never called again; the sink
    // falls silent (within the queued 150 ms and the sink's latency).
    out->Stop();
    tone.stopped = true;
    const std::size_t stopped_at = monitor.Frames();
    ASSERT_TRUE(monitor.ReadFrames(kRate * 3 / 4));
    EXPECT_NE(monitor.ReadUntil([&](const auto& s) { return FindSilence(s, stopped_at, kRate / 4); }),
              Monitor::npos);
    EXPECT_EQ(tone.calls_after_stop, 0);

    // The same output starts again on a new source.
    ToneSource again;
    ASSERT_TRUE(out->Start(again));
    const std::size_t restarted = monitor.Frames();
    EXPECT_NE(monitor.ReadUntil([&](const auto& s) { return FindTone(s, restarted); }), Monitor::npos);
    out.reset();
    EXPECT_EQ(tone.calls_after_stop, 0);
}

// A source that stalls makes the server run dry; once it renders again the
// sound returns after about one request and the sink's latency, with no
// start-up buffer to build up again first.
TEST_F(PulseOutputTest, PlaysOnSoonAfterAnUnderrun) {
    Monitor monitor;
    auto out = MakePulseOutput();
    ASSERT_TRUE(out);
    ToneSource tone;
    ASSERT_TRUE(out->Start(tone));
    const std::size_t heard = monitor.ReadUntil([](const auto& s) { return FindTone(s, 0); });
    ASSERT_NE(heard, Monitor::npos);
    const std::uint64_t underruns_before = out->DeviceUnderruns();

    tone.StallNext();
    ASSERT_TRUE(tone.WaitUntilStalled());
    // The queue runs out: 100 ms of silence at the sink.
    const std::size_t gap = monitor.ReadUntil([&](const auto& s) { return FindSilence(s, heard, kWindow); });
    ASSERT_NE(gap, Monitor::npos) << "the stall was never heard";
    const std::size_t released_at = monitor.Frames();
    tone.Release();
    const std::size_t back = monitor.ReadUntil([&](const auto& s) { return FindTone(s, released_at); });
    ASSERT_NE(back, Monitor::npos) << "no sound after the stall";
    EXPECT_LT(back - released_at, static_cast<std::size_t>(kRate / 2))
        << "sound came back " << (back - released_at) * 1000 / kRate << " ms after the source rendered again";
    // The server's word of the underrun reaches the loop the stalled source held.
    const auto deadline = Clock::now() + 5s;
    while (out->DeviceUnderruns() == underruns_before && Clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    EXPECT_GT(out->DeviceUnderruns(), underruns_before) << "the server's underrun was not counted";
}

// No server, or one that never answers: no output, and no hang.
TEST_F(PulseOutputTest, NoAnsweringServerGivesNoOutput) {
    const fs::path dir = fs::temp_directory_path() / ("lumaro-pulse-mute-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string mute = (dir / "native").string();
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    mute.copy(addr.sun_path, sizeof addr.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(listener, 4), 0);

    struct Case {
        const char* what;
        std::string server;
    };
    const Case cases[] = {
        {"no socket", "unix:" + (dir / "absent").string()},
        {"a socket that accepts and never answers", "unix:" + mute},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ::setenv("PULSE_SERVER", c.server.c_str(), 1);
        EXPECT_FALSE(MakePulseOutput());
    }
    ::close(listener);
    fs::remove_all(dir);
}

// A server that goes away while playing: the output stays quiet, Stop returns
// and a new Start reports the failure.
TEST_F(PulseOutputTest, ServerGoneWhilePlaying) {
    const std::string fixture = PULSE_FIXTURE;
    const std::string state = fs::temp_directory_path() / ("lumaro-pulse-gone-" + std::to_string(::getpid()));
    ASSERT_EQ(std::system((fixture + " start " + test_support::Quote(state)).c_str()), 0);
    UseServer(state);
    auto out = MakePulseOutput();
    ASSERT_TRUE(out);
    ToneSource tone;
    ASSERT_TRUE(out->Start(tone));
    ASSERT_TRUE(tone.WaitForCalls(5));
    ASSERT_EQ(std::system((fixture + " stop " + test_support::Quote(state)).c_str()), 0);
    out->Stop();
    ToneSource next;
    EXPECT_FALSE(out->Start(next));
    EXPECT_EQ(next.Calls(), 0u);
    out.reset();
    fs::remove_all(state);
}

} // namespace
} // namespace lumaro::engine
