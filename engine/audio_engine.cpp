// The engine's face: handle tables, error codes and the order of set-up and
// shutdown. Streams run in stream_thread, sound in the mixer and an output
// driver, the caller's callbacks on the callback thread.
#include "engine/audio_engine.h"

#include "engine/core/engine_errors.h"
#include "engine/core/live_threads.h"
#include "engine/core/start_trace.h"
#include "engine/core/stream_thread.h"
#include "engine/engine_state.h"

extern "C" {
#include <libavutil/log.h>
}

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <string>
#include <strings.h>
#include <vector>

namespace lumaro::engine {

static_assert(
    engine_error::kOk == BASS_OK && engine_error::kMemory == BASS_ERROR_MEM &&
        engine_error::kCannotOpen == BASS_ERROR_FILEOPEN && engine_error::kDriver == BASS_ERROR_DRIVER &&
        engine_error::kHandle == BASS_ERROR_HANDLE && engine_error::kInit == BASS_ERROR_INIT &&
        engine_error::kCertificate == BASS_ERROR_SSL && engine_error::kAlready == BASS_ERROR_ALREADY &&
        engine_error::kIllegalType == BASS_ERROR_ILLTYPE &&
        engine_error::kIllegalParam == BASS_ERROR_ILLPARAM && engine_error::kDevice == BASS_ERROR_DEVICE &&
        engine_error::kNotPlaying == BASS_ERROR_NOPLAY && engine_error::kFrequency == BASS_ERROR_FREQ &&
        engine_error::kNoConnection == BASS_ERROR_NONET && engine_error::kCannotCreate == BASS_ERROR_CREATE &&
        engine_error::kNotAvailable == BASS_ERROR_NOTAVAIL && engine_error::kTimeout == BASS_ERROR_TIMEOUT &&
        engine_error::kUnsupportedFormat == BASS_ERROR_FILEFORM && engine_error::kCodec == BASS_ERROR_CODEC &&
        engine_error::kUnknown == BASS_ERROR_UNKNOWN,
    "the engine's error codes are the public ones");

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Extra time the opening caller allows beyond the net time-out for the
// stream thread to report its own time-out before giving up on it.
constexpr auto kOpenGrace = 300ms;
// How long freeing the engine waits for its threads: a recording's program
// finishing its file, a download noticing it was stopped.
constexpr auto kShutdownWait = 10s;

std::atomic<DWORD> g_next_handle{0x10000};

} // namespace

DWORD NextHandle() {
    DWORD h;
    do
        h = g_next_handle.fetch_add(1, std::memory_order_relaxed);
    while (h == 0);
    return h;
}

AudioEngine::AudioEngine(OutputFactory make_output)
    : state_(std::make_shared<State>(std::move(make_output))) {}

AudioEngine::~AudioEngine() {
    BASS_Free();
}

DWORD AudioEngine::BASS_GetVersion() {
    return Done(BASS_VERSION);
}

BOOL AudioEngine::BASS_Init(int device, DWORD freq, DWORD, void*, const void*) {
    if (device != -1 && device != 1) return Fail(BASS_ERROR_DEVICE, kFalse);
    if (freq == 0 || freq > 384000) return Fail(BASS_ERROR_FREQ, kFalse);
    std::lock_guard lock(state_->handles_mutex);
    if (state_->initialised) return Fail(BASS_ERROR_ALREADY, kFalse);
    av_log_set_level(AV_LOG_FATAL); // broken frames of live streams are expected, not news
    auto output = state_->make_output ? state_->make_output() : nullptr;
    state_->mixer.ResetCounters();
    if (!output || !output->Start(state_->mixer)) return Fail(BASS_ERROR_DRIVER, kFalse);
    state_->output = std::move(output);
    state_->callbacks = std::make_shared<CallbackThread>();
    state_->initialised = true;
    return Ok();
}

HPLUGIN AudioEngine::BASS_PluginLoad(const char* file, DWORD) {
    // The formats these add-ons name are decoded by FFmpeg; loading only has to succeed.
    static constexpr std::array<const char*, 11> kKnown = {
        "bass_aac.dll", "basswma.dll",  "bassenc.dll",  "bassopus.dll", "basswebm.dll", "bassflac.dll",
        "basshls.dll",  "bass_ac3.dll", "bass_mpc.dll", "bassdsd.dll",  "basswv.dll"};
    if (!file) return Fail(BASS_ERROR_FILEOPEN, HPLUGIN{0});
    std::string name(file);
    if (auto slash = name.find_last_of("/\\"); slash != std::string::npos) name.erase(0, slash + 1);
    for (std::size_t i = 0; i < kKnown.size(); ++i) {
        if (strcasecmp(name.c_str(), kKnown[i]) == 0) return Done(static_cast<HPLUGIN>(0x100 + i));
    }
    return Fail(BASS_ERROR_FILEOPEN, HPLUGIN{0});
}

BOOL AudioEngine::BASS_SetConfig(DWORD option, DWORD value) {
    switch (option) {
    case BASS_CONFIG_NET_PLAYLIST:
        state_->cfg_playlist = value ? 1 : 0;
        return Ok();
    case BASS_CONFIG_FLOATDSP: // DSP callbacks always get float samples
        return Ok();
    case BASS_CONFIG_NET_PREBUF:
        state_->cfg_prebuf = std::min<DWORD>(value, 100);
        return Ok();
    case BASS_CONFIG_NET_TIMEOUT:
        state_->cfg_timeout = std::clamp<DWORD>(value, 100, 600000);
        return Ok();
    default:
        return Fail(BASS_ERROR_ILLTYPE, kFalse);
    }
}

BOOL AudioEngine::BASS_Free() {
    std::vector<std::shared_ptr<Channel>> all;
    std::unique_ptr<AudioOutput> output;
    std::shared_ptr<CallbackThread> callbacks;
    {
        std::lock_guard lock(state_->handles_mutex);
        if (!state_->initialised) return Fail(BASS_ERROR_INIT, kFalse);
        state_->initialised = false;
        for (auto& [handle, ch] : state_->channels)
            all.push_back(ch);
        all.insert(all.end(), state_->opening.begin(), state_->opening.end());
        state_->channels.clear();
        state_->opening.clear();
        state_->dsps.clear();
        state_->fxs.clear();
        state_->zombies.clear();
        output = std::move(state_->output);
        callbacks = std::move(state_->callbacks);
    }
    for (auto& ch : all) {
        ch->Kill();
        state_->StopEncoders(*ch);
    }
    output->Stop(); // waits for the mixer's current pass only
    state_->mixer.Clear();
    // Never joins a callback thread that is inside a callback: that callback
    // may be waiting for this very thread.
    callbacks->Shutdown();
    // Stream, download and encoder threads never wait for a callback, so
    // waiting for them here cannot deadlock; a recording ends whole.
    LiveThreads::WaitUntilNone(kShutdownWait);
    return Ok();
}

int AudioEngine::BASS_ErrorGetCode() {
    return t_error;
}

HSTREAM AudioEngine::BASS_StreamCreateURL(const char* url, DWORD, DWORD flags, DOWNLOADPROC* proc,
                                          void* user) {
    start_trace::Mark(start_trace::Stage::kRequested);
    if (!url || !*url) {
        std::lock_guard lock(state_->handles_mutex);
        return Fail(state_->initialised ? BASS_ERROR_FILEOPEN : BASS_ERROR_INIT, HSTREAM{0});
    }
    auto ch = std::make_shared<Channel>(NextHandle());
    ch->url = url;
    OpenRequest req;
    req.url = url;
    req.status = (flags & BASS_STREAM_STATUS) ? proc : nullptr;
    req.user = user;
    req.timeout_ms = static_cast<int>(state_->cfg_timeout.load());
    req.playlists = state_->cfg_playlist.load() != 0;
    req.prebuf_percent = static_cast<int>(state_->cfg_prebuf.load());
    req.flags = flags;
    {
        std::lock_guard lock(state_->handles_mutex);
        if (!state_->initialised) return Fail(BASS_ERROR_INIT, HSTREAM{0});
        state_->PurgeZombies();
        state_->opening.insert(ch);
        req.callbacks = state_->callbacks;
    }
    const std::shared_ptr<CallbackThread> callbacks = req.callbacks;
    auto result = std::make_shared<OpenResult>();
    const auto deadline = Clock::now() + std::chrono::milliseconds(req.timeout_ms) + kOpenGrace;
    StartStreamThread(ch, result, std::move(req));

    int error = BASS_ERROR_TIMEOUT;
    {
        std::unique_lock lock(result->mutex);
        if (result->done_cv.wait_until(lock, deadline, [&] { return result->done; })) error = result->error;
    }
    // The reply lines reach the caller before the call returns, so they never
    // overwrite what the caller shows once the stream is open. Only this
    // thread waits: the download went on meanwhile.
    callbacks->WaitDelivered(ch->last_status.load());
    std::lock_guard lock(state_->handles_mutex);
    state_->opening.erase(ch);
    if (error == 0 && !state_->initialised) error = BASS_ERROR_INIT; // the engine was freed meanwhile
    if (error != 0) {
        ch->Kill();
        return Fail(error, HSTREAM{0});
    }
    state_->channels.emplace(ch->handle, ch);
    start_trace::Mark(start_trace::Stage::kBuffered);
    return Done(ch->handle);
}

BOOL AudioEngine::BASS_StreamFree(HSTREAM handle) {
    std::shared_ptr<Channel> ch;
    {
        std::lock_guard lock(state_->handles_mutex);
        auto it = state_->channels.find(handle);
        if (it == state_->channels.end()) return Fail(BASS_ERROR_HANDLE, kFalse);
        ch = it->second;
        state_->channels.erase(it);
        std::erase_if(state_->fxs, [&](const auto& e) { return e.second.first.lock() == ch; });
        std::erase_if(state_->dsps, [&](const auto& e) { return e.second.first.lock() == ch; });
        state_->PurgeZombies();
        if (ch->in_mix) state_->zombies.push_back(ch);
    }
    ch->Kill();
    state_->StopEncoders(*ch);
    return Ok();
}

QWORD AudioEngine::BASS_StreamGetFilePosition(HSTREAM handle, DWORD mode) {
    return state_->FindOr(handle, BASS_POSITION_FAILED, [&](const std::shared_ptr<Channel>& ch) {
        // HLS has no download buffer of ours: its decoded-audio ring stands in.
        std::uint64_t capacity, buffered;
        if (ch->buffer) {
            capacity = ch->buffer->Capacity();
            // A download that has ended holds all it ever will: report it full,
            // so a buffering wait never waits for bytes that cannot come.
            buffered = ch->buffer->Ended() ? capacity : ch->buffer->Buffered();
        } else {
            capacity = ch->ring.Capacity() * sizeof(float);
            buffered = ch->ring.Available() * sizeof(float);
        }
        switch (mode) {
        case BASS_FILEPOS_END:
            return Done(QWORD{capacity});
        case BASS_FILEPOS_BUFFER:
            return Done(QWORD{buffered});
        case BASS_FILEPOS_WMA_BUFFER:
            return Done(QWORD{capacity ? buffered * 100 / capacity : 0});
        default:
            return Fail(BASS_ERROR_ILLTYPE, BASS_POSITION_FAILED);
        }
    });
}

const char* AudioEngine::BASS_ChannelGetTags(DWORD handle, DWORD tags) {
    using Text = const char*;
    return state_->FindOr(handle, Text{nullptr}, [&](const std::shared_ptr<Channel>& ch) {
        std::lock_guard lock(ch->tags_mutex);
        const std::string* text = nullptr;
        switch (tags) {
        case BASS_TAG_HTTP:
            text = &ch->tag_http;
            break;
        case BASS_TAG_ICY:
            text = &ch->tag_icy;
            break;
        case BASS_TAG_META:
            text = ch->tag_meta.empty() ? nullptr : &ch->tag_meta.back();
            break;
        case BASS_TAG_WMA:
            text = &ch->tag_wma;
            break;
        case BASS_TAG_WMA_META:
            break;
        default:
            return Fail(BASS_ERROR_ILLTYPE, Text{nullptr});
        }
        // The channel keeps the string alive; the text stays valid while it lives
        // (metadata: for the next kMetaHistory blocks).
        if (!text || text->empty()) return Fail(BASS_ERROR_NOTAVAIL, Text{nullptr});
        return Done(Text{text->c_str()});
    });
}

HSYNC AudioEngine::BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD, SYNCPROC* proc, void* user) {
    return state_->FindOr(handle, HSYNC{0}, [&](const std::shared_ptr<Channel>& ch) {
        if (type != BASS_SYNC_META) return Fail(BASS_ERROR_ILLTYPE, HSYNC{0});
        if (!proc) return Fail(BASS_ERROR_ILLPARAM, HSYNC{0});
        const HSYNC sync = NextHandle();
        std::lock_guard lock(ch->tags_mutex);
        ch->syncs.push_back({sync, proc, user});
        return Done(sync);
    });
}

BOOL AudioEngine::BASS_ChannelGetInfo(DWORD handle, BASS_CHANNELINFO* info) {
    return state_->FindOr(handle, kFalse, [&](const std::shared_ptr<Channel>& ch) {
        if (!info) return Fail(BASS_ERROR_ILLPARAM, kFalse);
        *info = ch->info;
        return Ok();
    });
}

BOOL AudioEngine::BASS_ChannelPlay(DWORD handle, BOOL) {
    return state_->FindOr(handle, kFalse, [&](const std::shared_ptr<Channel>& ch) {
        return state_->mixer.Play(ch) ? Ok() : Fail(BASS_ERROR_HANDLE, kFalse);
    });
}

DWORD AudioEngine::BASS_ChannelIsActive(DWORD handle) {
    return state_->FindOr(handle, DWORD{BASS_ACTIVE_STOPPED}, [&](const std::shared_ptr<Channel>& ch) {
        if (ch->dead || !ch->playing || ch->Finished()) return Done(DWORD{BASS_ACTIVE_STOPPED});
        return Done(DWORD{ch->stalled ? BASS_ACTIVE_STALLED : BASS_ACTIVE_PLAYING});
    });
}

DWORD AudioEngine::BASS_ChannelGetLevel(DWORD handle) {
    return state_->FindOr(handle, ~DWORD{0}, [&](const std::shared_ptr<Channel>& ch) {
        if (!ch->playing || ch->Finished()) return Fail(BASS_ERROR_NOPLAY, ~DWORD{0});
        return Done(DWORD{ch->meter.level()});
    });
}

std::uint64_t AudioEngine::UnderrunCount() const {
    return state_->mixer.Underruns();
}
std::uint64_t AudioEngine::DeviceUnderrunCount() const {
    std::lock_guard lock(state_->handles_mutex);
    return state_->output ? state_->output->DeviceUnderruns() : 0;
}
std::uint64_t AudioEngine::MixedBlocks() const {
    return state_->mixer.Blocks();
}

bool AudioEngine::WaitForStreamThreads(std::chrono::milliseconds timeout) {
    return LiveThreads::WaitUntilNone(timeout);
}

std::unique_ptr<AudioLibrary> MakeAudioEngine() {
    return std::make_unique<AudioEngine>();
}

} // namespace lumaro::engine
