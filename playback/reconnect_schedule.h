#pragma once
// Staying on the air after a drop: the back-off schedule of reconnect
// attempts, the clock it runs on, and which failures are worth waiting for.
// No Qt here apart from the real clock's timer (reconnect_schedule.cpp).

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string_view>

namespace lumaro {

using TReconnectTime = std::chrono::steady_clock::time_point;

// Time and one pending wake-up for the controller's reconnect wait. Window
// thread only: Arm's fire runs there, at most once per Arm.
class TReconnectClock {
public:
    virtual ~TReconnectClock() = default;
    virtual TReconnectTime Now() const = 0;
    // fire runs once, delay from now; a later Arm or Disarm replaces it.
    virtual void Arm(std::chrono::milliseconds delay, std::function<void()> fire) = 0;
    virtual void Disarm() = 0;
};

// steady_clock and a single-shot QTimer on the calling (window) thread.
std::unique_ptr<TReconnectClock> MakeSystemReconnectClock();

// Delays before the attempts that follow a drop: about 1, 2, 4, 8, 15, 30 s,
// then every 60 s, each stretched or shortened by up to a tenth at random so
// that the listeners of one server do not all return in the same second;
// attempts end 10 minutes after the first drop. A stream that plays 60 s in
// one go starts the schedule afresh (Reset).
class TReconnectSchedule {
public:
    static constexpr std::chrono::minutes kGiveUpAfter{10};
    static constexpr std::chrono::seconds kSteadyPlay{60};
    // Each delay is stretched or shortened at random by up to this share.
    static constexpr double kJitter = 0.1;

    explicit TReconnectSchedule(std::uint32_t seed = std::random_device{}()) : random_(seed) {}

    // A drop at now; the first one since the last Reset starts the 10 minutes.
    void Dropped(TReconnectTime now);
    // The wait before the next attempt, stepping the schedule on; nullopt when
    // the 10 minutes since the first drop have passed.
    std::optional<std::chrono::milliseconds> NextDelay(TReconnectTime now);
    void Reset();
    bool Running() const { return running_; }
    // Attempts asked for since the first drop.
    int Attempts() const { return step_; }

    // The delay of step n without jitter (n from 0).
    static std::chrono::seconds BaseDelay(int step);

private:
    std::mt19937 random_;
    bool running_ = false;
    TReconnectTime firstDrop_{};
    int step_ = 0;
};

// A failure that waiting cannot mend: the server answered 401, 403, 404 or 410
// (replyLine: the last status line of its reply, "HTTP/1.1 404 Not Found" or
// "ICY 404 ..."; empty when none came), or the TLS certificate was refused
// (the engine's error code BASS_ERROR_SSL).
bool IsPermanentFailure(int errorCode, std::string_view replyLine);

// A server restarting (Icecast) answers 404 for a mount until its source is
// back: on the URL that was on the air, 404 and 410 are waited for this long
// after the drop before they count as permanent.
inline constexpr std::chrono::seconds kMountReturnGrace{30};
// Whether a permanent failure may still mend: a 404 or 410 from the URL that
// was on the air, within kMountReturnGrace of the drop.
bool MountMayReturn(std::string_view replyLine, bool urlWasOnAir,
                    std::chrono::steady_clock::duration sinceDrop);

// The status code of a reply's status line, 0 when it is none.
int ReplyStatusCode(std::string_view line);

} // namespace lumaro
