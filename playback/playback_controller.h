#pragma once
// The play request: URL menu, connection attempts on worker threads, the retry
// decision, Play/Stop, the status messages and the status timer. The
// composition root makes one controller and hands it its ports; its handlers
// run on the window's thread.

#include "data/personal_lists.h"
#include "engine/audio_library.h"
#include "playback/audio_engine_setup.h"
#include "playback/playback_ports.h"
#include "playback/player_state.h"
#include "playback/reconnect_schedule.h"
#include "playback/stream_metadata.h"

#include <chrono>
#include <memory>
#include <optional>
#include <set>

class QObject;

namespace lumaro {

namespace detail {
struct TPlaybackShared;
}

// The play request's policy.
// Playback starts once more than this share of the download buffer is filled (%).
inline constexpr int kBufferedEnoughPercent = 75;
// While no new bytes come, the buffering wait pauses this long between polls:
// short, because the sound starts only at the poll that sees enough.
inline constexpr std::chrono::milliseconds kBufferPollPause{10};
// Retries of one request after its first attempt: at most 13 attempts in all.
inline constexpr int kMaxRetries = 12;
// While retrying goes on by itself, the failures of attempts numbered up to
// this one (counting from 0) stay silent.
inline constexpr int kLastSilentAttempt = 5;
// The connection time-out in seconds is kept within these bounds.
inline constexpr int kMinTimeoutSeconds = 3;
inline constexpr int kMaxTimeoutSeconds = 30;

class TPlaybackController {
public:
    // Lives on the window's thread (the thread that constructs it). library must
    // outlive every connection worker (see WaitForConnectionWorkers); ports and
    // recent must outlive the controller. state is the one the effect chain and
    // the recorder read; workers keep it alive as long as they run.
    TPlaybackController(engine::AudioLibrary& library, TPlaybackPorts ports, TRecentList& recent,
                        std::shared_ptr<TPlayerState> state = std::make_shared<TPlayerState>());
    // Shutdown, then gone.
    ~TPlaybackController();
    TPlaybackController(const TPlaybackController&) = delete;
    TPlaybackController& operator=(const TPlaybackController&) = delete;

    // Ends the traffic with the workers and the engine's callbacks: workers
    // still running finish by themselves, release what they opened and send
    // nothing more; calls they wait on are dropped unrun. Never waits for them.
    // Idempotent. Not to be called from inside one of the controller's own
    // handlers or port calls (a nested event loop).
    void Shutdown();

    // Starts the engine bound to window (which becomes MainWindow); the window
    // shows the outcome's message and ends the program when it says so.
    TEngineStartResult InitAudioEngine(void* window);

    const TPlayerState& State() const;
    // The status line as last set.
    const std::u16string& StatusText() const { return State().StatusText; }

    // The settings the controller works with, pushed in by whoever holds them.
    // Connection time-out in seconds (kMinTimeoutSeconds .. kMaxTimeoutSeconds
    // at each attempt; 5 to start with).
    void SetTimeoutSeconds(int seconds) { timeoutSeconds_ = seconds; }
    int TimeoutSeconds() const { return timeoutSeconds_; }
    // Auto-play on start: the start station plays by itself.
    void SetAutoPlay(bool on) { autoPlay_ = on; }
    bool AutoPlay() const { return autoPlay_; }

    // Starters. SetStationLine makes line the current station (workers of an
    // earlier line become stale). ChooseStation also resets AttemptNumber,
    // AutoRetry and ClipboardMode for a newly chosen station; PlayStation then
    // builds the URL menu and starts the first attempt (the results grid's
    // double click). ChooseStartStation chooses and splits the line into
    // StationFields at once, before any attempt.
    void SetStationLine(const std::u16string& line);
    void ChooseStation(const std::u16string& line);
    void PlayStation(const std::u16string& line);
    void ChooseStartStation(const std::u16string& line);

    // Rebuilds the URL menu from StationLine; a menu with fewer than two URL
    // entries turns AutoRetry off.
    void BuildUrlMenu();
    // Begins one attempt on the marked URL (asks first when a recording runs).
    void StartConnectionWorker();
    // Releases every handle of OpenedStreams, oldest first, and empties it.
    void FreeAllStreams();
    // The retry decision after the worker of the attempt stamped generation ended.
    void BMDThread1Terminate(std::uint32_t generation);
    // Play/Stop.
    void suiImageButton8Click();
    // One status message from a worker or an engine callback.
    void WmPlayerStatus(const TPlayerStatus& message);
    // Every 70 ms: level meter, recording blink, status settling.
    void Timer1Timer();
    // The URL button released: opens the menu unless an attempt is busy.
    void suiImageButton3MouseUp();
    // An entry of the URL menu chosen (index into State().UrlMenu.Entries).
    void UrlMenuItemClick(size_t index);

    // The worker's hand-over of a new stream to the effect chain, before it plays.
    void ApplyEffectChainFor(engine::HSTREAM stream) { ports_.NewStreams.AdoptStream(stream); }

    // Staying on the air. A stream that played and then ends by itself, or
    // stalls for kStallLimit, while the user did not stop it, is a drop: the
    // controller reconnects on its own (same URL first, then the station's
    // other URLs in turn) on the back-off of TReconnectSchedule.
    static constexpr std::chrono::seconds kStallLimit{10};
    // The clock of drops and reconnect waits (the system's until then); clock
    // outlives the controller.
    void UseReconnectClock(TReconnectClock& clock);
    // The network is reachable again or the machine has woken: a waiting
    // reconnect runs now. Nothing otherwise.
    void ReconnectNow();
    // Between a drop and the stream's return (or the end of trying).
    bool Reconnecting() const { return reconnecting_; }
    // A reconnect waits for its next attempt.
    bool ReconnectWaiting() const { return reconnectDue_.has_value(); }

private:
    TPlayerState& Mutable();
    void SetStatus(const std::u16string& text);
    void SetTitle(const std::u16string& text);
    void BumpGeneration();
    // Starts the worker of one attempt on url, stamped with a new generation.
    void LaunchWorker(std::string url);
    void ShowFailure(int code);
    // Timer1's look at the current stream; true when it has just dropped.
    bool WatchForDrop(engine::DWORD activity);
    void Dropped();
    void ScheduleReconnect();
    void StartReconnectAttempt();
    void CancelReconnect();
    void GiveUpReconnect();
    void ShowCountdown();

    std::shared_ptr<detail::TPlaybackShared> shared_;
    TPlaybackPorts ports_;
    TRecentList& recent_;
    std::unique_ptr<QObject> mailbox_; // receives the workers' calls; window thread
    int recordingTicks_ = 0;
    std::uint32_t lastStartedGeneration_ = 0;
    int timeoutSeconds_ = 5;
    bool autoPlay_ = false;

    // Drop watch and reconnects; window thread.
    std::unique_ptr<TReconnectClock> ownClock_;
    TReconnectClock* clock_ = nullptr;
    TReconnectSchedule schedule_;
    bool onAir_ = false;          // the current request's stream has played; a drop is watched for
    TReconnectTime onAirSince_{}; // since when it plays without a stall
    std::optional<TReconnectTime> stallSince_; // start of the present stall
    bool reconnecting_ = false;
    std::optional<TReconnectTime> reconnectDue_; // the waiting attempt's time
    int reconnectAttempts_ = 0;                  // attempts since the drop
    std::set<int> urlsRuledOut_;                 // URL entries that answered a permanent failure
    TReconnectTime droppedAt_{};                 // the last drop
    int droppedUrl_ = -1;                        // the URL entry on the air then
    int lastError_ = 0;                          // of the current generation's failed attempt
    std::string lastReplyLine_;                  // the current attempt's last reply status line
};

// Connection workers alive in the process, and a wait for them to end (for an
// orderly shutdown of the engine, and for tests).
int RunningConnectionWorkers();
bool WaitForConnectionWorkers(std::chrono::milliseconds timeout);

} // namespace lumaro
