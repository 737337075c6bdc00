#include "playback/playback_controller.h"

#include "data/scrambled_list_file.h"
#include "data/stream_text.h"
#include "playback/audio_engine_setup.h"
#include "playback/status_display.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <system_error>
#include <thread>
#include <unordered_map>

namespace lumaro {

using namespace engine;

namespace detail {

// What the window shares with its workers and the engine's callbacks. Workers
// hold it by shared_ptr, so it outlives the controller when they do.
struct TPlaybackShared {
    TPlaybackShared(AudioLibrary& library, std::shared_ptr<TPlayerState> state)
        : Library(library), StateOwner(std::move(state)), State(*StateOwner) {}
    AudioLibrary& Library; // never changes
    std::shared_ptr<TPlayerState> StateOwner;
    TPlayerState& State;          // never changes
    std::uint32_t CallbackId = 0; // key in the callback registry; never changes after start-up
    // Notified (with State.Lock) when Generation changes, so buffering waits end early.
    std::condition_variable GenerationChanged;

    // The receiver of calls into the window's thread and the controller they
    // reach. Both are cleared together, under MailboxLock, by the controller's
    // destructor; a sender posts only while holding MailboxLock, so it never
    // touches a deleted receiver.
    std::mutex MailboxLock;
    QObject* Mailbox = nullptr;
    TPlaybackController* Controller = nullptr;

    bool IsCurrent(std::uint32_t generation) const {
        std::lock_guard lock(State.Lock);
        return State.Generation == generation;
    }
};

} // namespace detail

using detail::TPlaybackShared;

namespace {

// ---- Live workers ----

std::mutex gWorkersLock;
std::condition_variable gWorkersEnded;
int gWorkers = 0;

// Counted from before the thread is launched, so a wait for the workers never
// misses one that has not begun to run yet.
void WorkerLaunching() {
    std::lock_guard lock(gWorkersLock);
    ++gWorkers;
}
void WorkerEnded() {
    std::lock_guard lock(gWorkersLock);
    --gWorkers;
    gWorkersEnded.notify_all();
}
struct WorkerCount {
    ~WorkerCount() { WorkerEnded(); }
};

// ---- Engine callbacks find their controller by a number, never by a pointer
// that could dangle once the window is gone. ----

std::mutex gRegistryLock;
std::unordered_map<std::uint32_t, std::weak_ptr<TPlaybackShared>> gRegistry;
std::uint32_t gNextCallbackId = 1;

static_assert(sizeof(void*) >= 8, "the callbacks' user value packs two 32-bit numbers");

void* CallbackUser(std::uint32_t id, std::uint32_t generation) {
    return reinterpret_cast<void*>((static_cast<std::uintptr_t>(id) << 32) | generation);
}

std::shared_ptr<TPlaybackShared> SharedOf(void* user, std::uint32_t& generation) {
    const auto packed = reinterpret_cast<std::uintptr_t>(user);
    generation = static_cast<std::uint32_t>(packed & 0xFFFFFFFFu);
    std::lock_guard lock(gRegistryLock);
    const auto it = gRegistry.find(static_cast<std::uint32_t>(packed >> 32));
    return it == gRegistry.end() ? nullptr : it->second.lock();
}

// ---- Calls into the window's thread ----

// Signals the sender when the queued call has run or was discarded unrun (its
// receiver deleted): the last copy of the call's functor destroys this guard.
struct CallDone {
    std::mutex lock;
    std::condition_variable cv;
    bool done = false;
    void Signal() {
        std::lock_guard guard(lock);
        done = true;
        cv.notify_all();
    }
    void Wait() {
        std::unique_lock guard(lock);
        cv.wait(guard, [this] { return done; });
    }
};
struct CallDoneGuard {
    std::shared_ptr<CallDone> call;
    ~CallDoneGuard() {
        if (call) call->Signal();
    }
};

using WindowCall = std::function<void(TPlaybackController&)>;

// Runs fn on the window's thread with the controller, if it still exists. With
// wait, the caller blocks until fn has run or the window is gone: a blocking
// queued call that can never hang on a deleted receiver. From the window's own
// thread fn runs at once.
void CallWindow(const std::shared_ptr<TPlaybackShared>& shared, WindowCall fn, bool wait) {
    auto done = std::make_shared<CallDone>();
    {
        std::unique_lock lock(shared->MailboxLock);
        if (!shared->Mailbox) return;
        if (shared->Mailbox->thread() == QThread::currentThread()) {
            TPlaybackController* controller = shared->Controller;
            lock.unlock();
            fn(*controller);
            return;
        }
        auto guard = std::make_shared<CallDoneGuard>();
        if (wait) guard->call = done;
        QMetaObject::invokeMethod(
            shared->Mailbox,
            [shared, fn = std::move(fn), guard] {
                if (shared->Controller) fn(*shared->Controller);
            },
            Qt::QueuedConnection);
    }
    if (wait) done->Wait();
}

void SendStatus(const std::shared_ptr<TPlaybackShared>& shared, TPlayerStatus message) {
    CallWindow(
        shared, [message = std::move(message)](TPlaybackController& c) { c.WmPlayerStatus(message); }, true);
}

// ---- Header and title reading (worker or engine thread) ----

void ScanStreamHeaders(const std::shared_ptr<TPlaybackShared>& shared, HSTREAM h, std::uint32_t generation) {
    AudioLibrary& library = shared->Library;
    bool single = false;
    const char* tags = library.BASS_ChannelGetTags(h, BASS_TAG_ICY);
    if (!tags) tags = library.BASS_ChannelGetTags(h, BASS_TAG_WMA);
    if (!tags) {
        tags = library.BASS_ChannelGetTags(h, BASS_TAG_WMA_META);
        single = tags != nullptr;
    }
    if (!tags) tags = library.BASS_ChannelGetTags(h, BASS_TAG_HTTP);
    // Copied at once: the block may change while the messages are handled.
    for (TPlayerStatus& message : MessagesFromHeaders(tags, single)) {
        message.Generation = generation;
        SendStatus(shared, std::move(message));
    }
}

void ReadStreamTitle(const std::shared_ptr<TPlaybackShared>& shared, std::uint32_t generation) {
    const HSTREAM stream = shared->State.Stream.load();
    const char* tags =
        FirstTags(shared->Library, stream, {BASS_TAG_META, BASS_TAG_WMA, BASS_TAG_WMA_META, BASS_TAG_HTTP});
    if (!tags) return;
    std::optional<std::string> title = TitleFromMetadata(tags);
    if (!title) return;
    SendStatus(shared, {kStatusTitle, 0, std::move(*title), generation});
}

// Engine thread: a new metadata block arrived.
void MetaSyncProc(HSYNC, DWORD, DWORD, void* user) {
    std::uint32_t generation = 0;
    if (auto shared = SharedOf(user, generation)) ReadStreamTitle(shared, 0);
}

// Engine thread, while the stream opens: one line of the server's reply.
void DownloadStatusProc(const void* buffer, DWORD length, void* user) {
    if (!buffer || length != 0) return;
    std::uint32_t generation = 0;
    if (auto shared = SharedOf(user, generation))
        SendStatus(shared, {kStatusServerReply, 0, static_cast<const char*>(buffer), generation});
}

// Timer1 ticks between two changes of the recording label (6 x 70 ms).
constexpr int kRecordingBlinkTicks = 6;

// ---- The attempt (worker thread) ----

int ErrorCodeOr(AudioLibrary& library, int fallback) {
    const int code = library.BASS_ErrorGetCode();
    return code == BASS_OK ? fallback : code;
}

// Waits until more than kBufferedEnoughPercent of the download buffer is filled, sending each new
// percentage. False (with the reason in error) when a poll fails (the stream
// was freed) or the request was superseded first. A download that has ended
// reads as full, so it never waits for bytes that cannot come.
bool WaitForBuffer(const std::shared_ptr<TPlaybackShared>& shared, HSTREAM h, std::uint32_t generation,
                   int& error) {
    AudioLibrary& library = shared->Library;
    long long shown = -1;
    for (;;) {
        if (!shared->IsCurrent(generation)) {
            error = BASS_ERROR_HANDLE;
            return false;
        }
        QWORD length = library.BASS_StreamGetFilePosition(h, BASS_FILEPOS_END);
        if (length == 0) length = library.BASS_StreamGetFilePosition(h, BASS_FILEPOS_WMA_BUFFER);
        if (length == BASS_POSITION_FAILED) {
            error = ErrorCodeOr(library, BASS_ERROR_UNKNOWN);
            return false;
        }
        if (length == 0) return true; // nothing to measure against: counts as buffered
        const QWORD buffered = library.BASS_StreamGetFilePosition(h, BASS_FILEPOS_BUFFER);
        if (buffered == BASS_POSITION_FAILED) {
            error = ErrorCodeOr(library, BASS_ERROR_UNKNOWN);
            return false;
        }
        const auto progress = static_cast<long long>(buffered * 100 / length);
        const bool changed = progress != shown;
        if (changed) {
            shown = progress;
            SendStatus(shared, {kStatusBuffering, progress, {}, generation});
        }
        if (progress > kBufferedEnoughPercent) return true;
        if (!changed) {
            // No new data since the last poll: wait a little (ends early when superseded).
            std::unique_lock lock(shared->State.Lock);
            shared->GenerationChanged.wait_for(lock, kBufferPollPause,
                                               [&] { return shared->State.Generation != generation; });
        }
    }
}

void OpenStream(const std::shared_ptr<TPlaybackShared>& shared, const std::string& url,
                std::uint32_t generation, int timeoutSeconds) {
    AudioLibrary& library = shared->Library;
    TPlayerState& state = shared->State;
    if (!shared->IsCurrent(generation)) return;
    state.Connecting = true;
    library.BASS_StreamFree(state.Stream.load());
    SendStatus(shared, {kStatusConnecting, 0, {}, generation});
    library.BASS_SetConfig(BASS_CONFIG_NET_TIMEOUT, static_cast<DWORD>(timeoutSeconds) * 1000);
    HSTREAM h = library.BASS_StreamCreateURL(url.c_str(), 0, BASS_STREAM_STATUS, &DownloadStatusProc,
                                             CallbackUser(shared->CallbackId, generation));
    const int openError = h ? BASS_OK : ErrorCodeOr(library, BASS_ERROR_UNKNOWN);
    {
        // Checked and published together, so a newer attempt that starts now
        // sees this stream in Stream and releases it.
        std::unique_lock lock(state.Lock);
        if (state.Generation != generation) {
            lock.unlock();
            if (h) library.BASS_StreamFree(h);
            return;
        }
        state.Stream = h;
    }
    if (!h) {
        SendStatus(shared, {kStatusFailed, openError, {}, generation});
    } else {
        int error = BASS_OK;
        if (!WaitForBuffer(shared, h, generation, error)) {
            library.BASS_StreamFree(h);
            h = 0;
            SendStatus(shared, {kStatusFailed, error, {}, generation}); // dropped when superseded
        } else if (shared->IsCurrent(generation)) {
            ScanStreamHeaders(shared, h, generation);
            ReadStreamTitle(shared, generation);
            library.BASS_ChannelSetSync(h, BASS_SYNC_META, 0, &MetaSyncProc,
                                        CallbackUser(shared->CallbackId, 0));
            BASS_CHANNELINFO info;
            library.BASS_ChannelGetInfo(h, &info);
            {
                std::lock_guard lock(state.Lock);
                state.ChannelInfo = info;
            }
            // On the window's thread, so the knob handlers and this never interleave.
            CallWindow(
                shared,
                [h, generation](TPlaybackController& c) {
                    if (c.State().Generation == generation) c.ApplyEffectChainFor(h);
                },
                true);
            // Checked under the lock that stamps requests: a request superseded
            // while the effects went on must not sound even for one block,
            // since its stream may lack them (full volume while muted).
            std::unique_lock lock(state.Lock);
            if (state.Generation != generation) {
                lock.unlock();
                library.BASS_StreamFree(h);
                return;
            }
            library.BASS_ChannelPlay(h, kFalse);
        }
    }
    {
        std::unique_lock lock(state.Lock);
        if (state.Generation != generation) {
            // Superseded meanwhile: leave the newer attempt's state alone.
            lock.unlock();
            if (h) library.BASS_StreamFree(h);
            return;
        }
        state.Connecting = false;
        state.OpenedStreams.push_back(h);
    }
}

// Body of a worker thread.
void BMDThread1Execute(std::shared_ptr<TPlaybackShared> shared, std::string url, std::uint32_t generation,
                       int timeoutSeconds) {
    WorkerCount counted;
    OpenStream(shared, url, generation, timeoutSeconds);
    CallWindow(
        shared, [generation](TPlaybackController& c) { c.BMDThread1Terminate(generation); }, false);
}

} // namespace

int RunningConnectionWorkers() {
    std::lock_guard lock(gWorkersLock);
    return gWorkers;
}

bool WaitForConnectionWorkers(std::chrono::milliseconds timeout) {
    std::unique_lock lock(gWorkersLock);
    return gWorkersEnded.wait_for(lock, timeout, [] { return gWorkers == 0; });
}

// ---- The controller (window thread) ----

TPlaybackController::TPlaybackController(AudioLibrary& library, TPlaybackPorts ports, TRecentList& recent,
                                         std::shared_ptr<TPlayerState> state)
    : shared_(std::make_shared<TPlaybackShared>(library, std::move(state))), ports_(ports), recent_(recent),
      mailbox_(std::make_unique<QObject>()), ownClock_(MakeSystemReconnectClock()), clock_(ownClock_.get()) {
    {
        std::lock_guard lock(gRegistryLock);
        shared_->CallbackId = gNextCallbackId++;
        gRegistry[shared_->CallbackId] = shared_;
    }
    std::lock_guard lock(shared_->MailboxLock);
    shared_->Mailbox = mailbox_.get();
    shared_->Controller = this;
}

TPlaybackController::~TPlaybackController() {
    Shutdown();
}

void TPlaybackController::Shutdown() {
    if (!mailbox_) return;
    {
        std::lock_guard lock(gRegistryLock);
        gRegistry.erase(shared_->CallbackId);
    }
    {
        std::lock_guard lock(shared_->MailboxLock);
        shared_->Mailbox = nullptr;
        shared_->Controller = nullptr;
    }
    BumpGeneration(); // every running worker is now stale
    CancelReconnect();
    onAir_ = false;
    // Deleting the receiver discards its pending calls, which wakes their senders.
    mailbox_.reset();
}

TEngineStartResult TPlaybackController::InitAudioEngine(void* window) {
    Mutable().MainWindow = window;
    return lumaro::InitAudioEngine(shared_->Library, window);
}

const TPlayerState& TPlaybackController::State() const {
    return shared_->State;
}
TPlayerState& TPlaybackController::Mutable() {
    return shared_->State;
}

void TPlaybackController::BumpGeneration() {
    TPlayerState& state = Mutable();
    {
        std::lock_guard lock(state.Lock);
        if (++state.Generation == 0) ++state.Generation; // 0 stamps unattached messages
    }
    shared_->GenerationChanged.notify_all();
}

void TPlaybackController::SetStatus(const std::u16string& text) {
    Mutable().StatusText = text;
    ports_.View.SetStatusText(text);
}

void TPlaybackController::SetTitle(const std::u16string& text) {
    Mutable().TitleText = text;
    ports_.View.SetTitleText(text);
}

void TPlaybackController::SetStationLine(const std::u16string& line) {
    TPlayerState& state = Mutable();
    if (line == state.StationLine) return;
    {
        std::lock_guard lock(state.Lock);
        state.StationLine = line;
    }
    BumpGeneration();
    // Another station: what plays now is no longer this request's to mend.
    CancelReconnect();
    onAir_ = false;
}

void TPlaybackController::ChooseStation(const std::u16string& line) {
    SetStationLine(line);
    TPlayerState& state = Mutable();
    state.AttemptNumber = 0;
    state.AutoRetry = true;
    state.ClipboardMode = false;
}

void TPlaybackController::PlayStation(const std::u16string& line) {
    ChooseStation(line);
    BuildUrlMenu();
    StartConnectionWorker();
}

void TPlaybackController::ChooseStartStation(const std::u16string& line) {
    ChooseStation(line);
    Mutable().StationFields = SplitStationLine(State().StationLine);
}

void TPlaybackController::BuildUrlMenu() {
    TPlayerState& state = Mutable();
    state.UrlMenu =
        lumaro::BuildUrlMenu(state.StationLine, state.AttemptNumber, state.ClipboardMode, state.CurrentUrl);
    if (MenuStopsRetrying(state.UrlMenu)) state.AutoRetry = false;
    ports_.View.ShowUrlMenu(state.UrlMenu);
}

void TPlaybackController::FreeAllStreams() {
    std::vector<HSTREAM> streams;
    {
        std::lock_guard lock(shared_->State.Lock);
        streams.swap(shared_->State.OpenedStreams);
    }
    for (HSTREAM h : streams)
        shared_->Library.BASS_StreamFree(h);
}

void TPlaybackController::StartConnectionWorker() {
    TPlayerState& state = Mutable();
    if (ports_.Recording.RecordingRuns() && !ports_.Recording.AskStopRecording()) return;
    CancelReconnect();
    onAir_ = false;
    FreeAllStreams();
    state.UrlMenuBusy = true;
    ports_.View.SetLevelMeter(0);
    state.PlayActive = true;
    ports_.View.SetPlayPicture(true);
    ports_.Recording.StopRecording();
    state.StationFields = SplitStationLine(state.StationLine);
    const int marked = state.UrlMenu.MarkedUrl();
    std::string url =
        marked >= 0 ? state.UrlMenu.Entries[static_cast<size_t>(marked)].Caption : std::string();
    // Saved on the list-file thread: a flush to disk can take a fifth of a
    // second on a busy machine, too long for the window to wait. A list that
    // cannot be written stays changed in memory and is written at its next
    // change; playing goes on.
    if (recent_.EnterRecent(state.StationLine)) recent_.SaveLater();
    ports_.Recent.RecentChanged();
    LaunchWorker(std::move(url));
}

void TPlaybackController::LaunchWorker(std::string url) {
    TPlayerState& state = Mutable();
    BumpGeneration();
    const std::uint32_t generation = state.Generation;
    lastStartedGeneration_ = generation;
    lastError_ = 0;
    lastReplyLine_.clear();
    state.Connecting = true; // from now on, so Play/Stop is ignored until the attempt ends
    const int timeout = std::clamp(timeoutSeconds_, kMinTimeoutSeconds, kMaxTimeoutSeconds);
    WorkerLaunching();
    try {
        std::thread(BMDThread1Execute, shared_, std::move(url), generation, timeout).detach();
    } catch (const std::system_error&) {
        WorkerEnded();
        // No thread to be had: the attempt ends before it connects.
        state.Connecting = false;
        BMDThread1Terminate(generation);
    }
}

void TPlaybackController::BMDThread1Terminate(std::uint32_t generation) {
    TPlayerState& state = Mutable();
    if (generation == lastStartedGeneration_) state.UrlMenuBusy = false;
    if (generation != state.Generation) return; // superseded: triggers nothing
    const bool active = shared_->Library.BASS_ChannelIsActive(state.Stream.load()) != BASS_ACTIVE_STOPPED;
    if (active) {
        // On the air: from now on a drop is watched for.
        onAir_ = true;
        onAirSince_ = clock_->Now();
        stallSince_.reset();
        if (reconnecting_) {
            reconnecting_ = false;
            urlsRuledOut_.clear();
            if (ports_.Recording.RecordingRuns()) ports_.Recording.ContinueRecording();
        }
        return;
    }
    if (reconnecting_) {
        if (IsPermanentFailure(lastError_, lastReplyLine_)) {
            const int marked = state.UrlMenu.MarkedUrl();
            urlsRuledOut_.insert(marked);
            if (urlsRuledOut_.size() >= state.UrlMenu.UrlEntryCount() || !state.AutoRetry) {
                if (MountMayReturn(lastReplyLine_, marked == droppedUrl_, clock_->Now() - droppedAt_)) {
                    // nothing else left: wait for the mount that was on the air
                    urlsRuledOut_.erase(marked);
                    ScheduleReconnect();
                    return;
                }
                GiveUpReconnect();
                return;
            }
            StartReconnectAttempt(); // the next URL at once: waiting will not mend this one
            return;
        }
        ScheduleReconnect();
        return;
    }
    if (state.AutoRetry && state.AttemptNumber < kMaxRetries) {
        ++state.AttemptNumber;
        BuildUrlMenu();
        StartConnectionWorker();
    }
}

void TPlaybackController::suiImageButton8Click() {
    TPlayerState& state = Mutable();
    if (state.StationLine.empty()) {
        ports_.View.ShowMessage(u"Please double-click a station to play");
        return;
    }
    if (state.Connecting) return;
    state.PlayActive = !state.PlayActive;
    ports_.View.SetPlayPicture(state.PlayActive);
    if (!state.PlayActive) {
        if (ports_.Recording.RecordingRuns() && !ports_.Recording.AskStopRecording()) {
            state.PlayActive = true;
            ports_.View.SetPlayPicture(true);
            return;
        }
        ports_.Recording.StopRecording();
        BumpGeneration(); // a retry decision still on its way must not restart the station
        shared_->Library.BASS_StreamFree(state.Stream.load());
        onAir_ = false;
        if (reconnecting_) {
            CancelReconnect();
            SetStatus(u"not playing"); // the countdown would say that something is still coming
        }
    } else {
        BuildUrlMenu();
        StartConnectionWorker();
    }
}

void TPlaybackController::WmPlayerStatus(const TPlayerStatus& message) {
    TPlayerState& state = Mutable();
    if (message.Generation != 0 && message.Generation != state.Generation) return; // stale
    switch (message.Code) {
    case kStatusConnecting:
        SetStatus(u"connecting...");
        if (!reconnecting_) SetTitle(u""); // a reconnect keeps the last title until a new one comes
        ports_.View.SetBitrateText(u"");
        break;
    case kStatusFailed:
        lastError_ = IsKnownErrorCode(message.Value) ? static_cast<int>(message.Value) : kUnknownErrorCode;
        // A reconnect's failures show only when it gives up.
        if (!reconnecting_ && (state.AttemptNumber > kLastSilentAttempt || !state.AutoRetry))
            ShowFailure(lastError_);
        break;
    case kStatusBuffering:
        SetStatus(u"buffering... " + WideFromAnsi(std::to_string(message.Value)) + u"%");
        break;
    case kStatusName:
        SetStatus(WideFromStreamText(message.Text)); // UTF-8, or whatever the server sends
        break;
    case kStatusServerReply:
        if (ReplyStatusCode(message.Text) != 0) lastReplyLine_ = message.Text;
        [[fallthrough]];
    case kStatusBitrate:
        ports_.View.SetBitrateText(WideFromAnsi(message.Text));
        break;
    case kStatusTitle:
        SetTitle(WideFromStreamText(message.Text));
        break;
    default:
        break;
    }
}

void TPlaybackController::Timer1Timer() {
    TPlayerState& state = Mutable();
    HSTREAM watched;
    {
        std::lock_guard lock(state.Lock);
        watched = state.OpenedStreams.empty() ? state.Stream.load() : state.OpenedStreams.back();
    }
    if (++recordingTicks_ >= kRecordingBlinkTicks) {
        if (ports_.Recording.RecordingRuns()) ports_.Recording.ToggleRecordingLabel();
        recordingTicks_ = 0;
    }
    AudioLibrary& library = shared_->Library;
    const DWORD activity = library.BASS_ChannelIsActive(watched);
    if (WatchForDrop(activity) || activity == BASS_ACTIVE_STOPPED) {
        ports_.View.SetLevelMeter(0);
        return;
    }
    const DWORD level = library.BASS_ChannelGetLevel(watched);
    ports_.View.SetLevelMeter(LevelMeterPosition(level));
    if (static_cast<std::int32_t>(level) > 0) {
        const std::u16string settled = SettledStatusText(
            state.StatusText, state.StationFields.empty() ? std::u16string() : state.StationFields[0]);
        if (settled != state.StatusText) SetStatus(settled);
    }
}

void TPlaybackController::suiImageButton3MouseUp() {
    if (!State().UrlMenuBusy) ports_.View.PopupUrlMenu();
}

void TPlaybackController::UrlMenuItemClick(size_t index) {
    TPlayerState& state = Mutable();
    TUrlMenu& menu = state.UrlMenu;
    if (index >= menu.Entries.size() || menu.Entries[index].Caption == kUrlMenuSeparator) return;
    state.AutoRetry = false;
    state.ClipboardMode = false;
    if (const int marked = menu.MarkedUrl(); marked >= 0)
        state.CurrentUrl = menu.Entries[static_cast<size_t>(marked)].Caption;
    const std::string caption = menu.Entries[index].Caption;
    if (caption == kCopyUrlCaption) {
        if (!state.CurrentUrl.empty()) ports_.View.SetClipboardText(WideFromAnsi(state.CurrentUrl));
        return;
    }
    if (caption == kPlayClipboardCaption) {
        std::u16string text = ports_.View.ClipboardText();
        text = text.substr(0, text.find_first_of(u"\r\n"));
        const std::string url = AnsiFromWide(text);
        if (url.find("://") == std::string::npos) return;
        state.CurrentUrl = url;
        SetStationLine(WideFromAnsi(url) + u"\t");
        state.ClipboardMode = true;
        BuildUrlMenu();
        StartConnectionWorker();
        return;
    }
    for (size_t i = 0; i < menu.UrlEntryCount(); ++i)
        menu.Entries[i].Marked = i == index;
    ports_.View.ShowUrlMenu(menu);
    StartConnectionWorker();
}

// ---- Staying on the air (window thread) ----

void TPlaybackController::UseReconnectClock(TReconnectClock& clock) {
    clock_->Disarm();
    clock_ = &clock;
    ownClock_.reset();
}

void TPlaybackController::ShowFailure(int code) {
    TPlayerState& state = Mutable();
    state.PlayActive = false;
    ports_.View.SetPlayPicture(false);
    SetStatus(u"not playing");
    SetTitle(WideFromAnsi(AudioErrorText(code)));
}

bool TPlaybackController::WatchForDrop(DWORD activity) {
    if (reconnectDue_) {
        ShowCountdown();
        return false;
    }
    if (!onAir_ || State().Connecting) return false;
    const TReconnectTime now = clock_->Now();
    if (activity == BASS_ACTIVE_STOPPED) { // ended by itself: closed, read error, end of data
        Dropped();
        return true;
    }
    if (activity == BASS_ACTIVE_STALLED) {
        if (!stallSince_) stallSince_ = now;
        if (now - *stallSince_ < kStallLimit) return false;
        Dropped();
        return true;
    }
    if (stallSince_) {
        stallSince_.reset();
        onAirSince_ = now; // "in one go" starts again after a stall
    }
    if (schedule_.Running() && now - onAirSince_ >= TReconnectSchedule::kSteadyPlay) schedule_.Reset();
    return false;
}

void TPlaybackController::Dropped() {
    onAir_ = false;
    stallSince_.reset();
    reconnecting_ = true;
    reconnectAttempts_ = 0;
    urlsRuledOut_.clear();
    // Silence what is left of it (a stalled stream could resume mid-wait) and
    // end its encoder; the recorder's switch stays on for the next stream.
    shared_->Library.BASS_StreamFree(State().Stream.load());
    schedule_.Dropped(clock_->Now());
    droppedAt_ = clock_->Now();
    droppedUrl_ = State().UrlMenu.MarkedUrl();
    ScheduleReconnect();
}

void TPlaybackController::ScheduleReconnect() {
    const std::optional<std::chrono::milliseconds> delay = schedule_.NextDelay(clock_->Now());
    if (!delay) {
        GiveUpReconnect();
        return;
    }
    reconnectDue_ = clock_->Now() + *delay;
    clock_->Arm(*delay, [this] { StartReconnectAttempt(); });
    ShowCountdown();
}

void TPlaybackController::ShowCountdown() {
    // Whole seconds, never 0 while it still waits.
    const auto left = std::chrono::round<std::chrono::seconds>(*reconnectDue_ - clock_->Now()).count();
    const std::u16string text =
        u"reconnecting... " + WideFromAnsi(std::to_string(left < 1 ? 1 : left)) + u" s";
    if (text != State().StatusText) SetStatus(text);
}

void TPlaybackController::ReconnectNow() {
    if (!reconnectDue_) return;
    clock_->Disarm();
    StartReconnectAttempt();
}

void TPlaybackController::StartReconnectAttempt() {
    TPlayerState& state = Mutable();
    reconnectDue_.reset();
    // The URL that dropped first, then the station's other URLs in turn
    // (only the chosen one when the user picked it or there is no other).
    const int count = static_cast<int>(state.UrlMenu.UrlEntryCount());
    int marked = state.UrlMenu.MarkedUrl();
    if (state.AutoRetry && count > 1 && marked >= 0) {
        int next = marked;
        const bool stay = reconnectAttempts_ == 0 && !urlsRuledOut_.count(marked);
        for (int i = 0; i < count && !stay; ++i) {
            next = (next + 1) % count;
            if (!urlsRuledOut_.count(next)) break;
        }
        if (next != marked) {
            // AttemptNumber follows the mark, so Stop and Play come back to this URL.
            for (int attempt = 0; attempt + 5 < static_cast<int>(state.StationFields.size()); ++attempt) {
                if (lumaro::BuildUrlMenu(state.StationLine, attempt, false, {}).MarkedUrl() == next) {
                    state.AttemptNumber = attempt;
                    break;
                }
            }
            BuildUrlMenu();
            marked = state.UrlMenu.MarkedUrl();
        }
    }
    ++reconnectAttempts_;
    // A new attempt of the same request: no question, no Recent, the
    // recording's switch stays on.
    FreeAllStreams();
    state.UrlMenuBusy = true;
    ports_.View.SetLevelMeter(0);
    state.StationFields = SplitStationLine(state.StationLine);
    LaunchWorker(marked >= 0 ? state.UrlMenu.Entries[static_cast<size_t>(marked)].Caption : std::string());
}

void TPlaybackController::CancelReconnect() {
    if (reconnectDue_) clock_->Disarm();
    reconnectDue_.reset();
    reconnecting_ = false;
    urlsRuledOut_.clear();
    schedule_.Reset();
}

void TPlaybackController::GiveUpReconnect() {
    CancelReconnect();
    ports_.Recording.StopRecording();
    ShowFailure(lastError_ != BASS_OK ? lastError_ : BASS_ERROR_UNKNOWN);
}

} // namespace lumaro
