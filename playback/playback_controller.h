#pragma once
// The play request: URL menu, connection attempts on worker threads, the retry
// decision, Play/Stop, the status messages and the status timer. The window
// owns one controller and calls its handlers on the window's thread; it sees
// the results through TPlaybackView.

#include "data/personal_lists.h"
#include "engine/audio_library.h"
#include "playback/audio_engine_setup.h"
#include "playback/playback_view.h"
#include "playback/player_state.h"
#include "playback/stream_metadata.h"

#include <chrono>
#include <memory>

class QObject;

namespace lumaro {

namespace detail {
struct TPlaybackShared;
}

class TPlaybackController {
public:
    // Lives on the window's thread (the thread that constructs it). library must
    // outlive every connection worker (see WaitForConnectionWorkers); view and
    // recent must outlive the controller.
    TPlaybackController(engine::AudioLibrary& library, TPlaybackView& view, TRecentList& recent);
    // Workers still running finish by themselves: they release what they opened
    // and send nothing more. Never waits for them. Not to be called from inside
    // one of the controller's own handlers or view calls (a nested event loop).
    ~TPlaybackController();
    TPlaybackController(const TPlaybackController&) = delete;
    TPlaybackController& operator=(const TPlaybackController&) = delete;

    // Starts the engine bound to window (which becomes MainWindow); the window
    // shows the outcome's message and ends the program when it says so.
    TEngineStartResult InitAudioEngine(void* window);

    TPlayerState& State();
    const TPlayerState& State() const;
    // The status line as last set.
    const std::u16string& StatusText() const { return statusText_; }

    // Starters. SetStationLine makes line the current station (workers of an
    // earlier line become stale). ChooseStation also resets AttemptNumber,
    // AutoRetry and ClipboardMode for a newly chosen station; PlayStation then
    // builds the URL menu and starts the first attempt (the results grid's
    // double click).
    void SetStationLine(const std::u16string& line);
    void ChooseStation(const std::u16string& line);
    void PlayStation(const std::u16string& line);

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
    void ApplyEffectChainFor(engine::HSTREAM stream) { view_.ApplyEffectChain(stream); }

private:
    void SetStatus(const std::u16string& text);
    void BumpGeneration();

    std::shared_ptr<detail::TPlaybackShared> shared_;
    TPlaybackView& view_;
    TRecentList& recent_;
    std::unique_ptr<QObject> mailbox_; // receives the workers' calls; window thread
    std::u16string statusText_;
    int recordingTicks_ = 0;
    std::uint32_t lastStartedGeneration_ = 0;
};

// Connection workers alive in the process, and a wait for them to end (for an
// orderly shutdown of the engine, and for tests).
int RunningConnectionWorkers();
bool WaitForConnectionWorkers(std::chrono::milliseconds timeout);

} // namespace lumaro
