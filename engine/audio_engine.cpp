#include "engine/audio_engine.h"

#include "engine/core/ffmpeg_decoder.h"
#include "engine/core/live_threads.h"
#include "engine/core/pcm_ring.h"
#include "engine/dsp/dsp_chain.h"
#include "engine/dsp/gain_pan.h"
#include "engine/dsp/level_meter.h"
#include "engine/dsp/parametric_equalizer.h"
#include "engine/dsp/reverb.h"
#include "engine/encoder/encoder_process.h"
#include "engine/net/download_buffer.h"
#include "engine/net/http_stream.h"
#include "engine/net/playlist.h"

#include <SDL2/SDL.h>

extern "C" {
#include <libavutil/log.h>
}

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace lumaro::engine {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Download buffer length. The player starts playback once it is more than 75 %
// full, so this sets the first-sound delay: Icecast's connect burst (64 KiB by
// default) covers the decoder's first second (16 KiB at 128 kbps) and 75 % of
// 32 KiB at once, and a server without a burst needs about 1.5 s at 128 kbps.
// Full, it holds 2 s at 128 kbps (4 s at 64 kbps, 0.8 s at 320 kbps), on top
// of the decoded second below, to ride out network jitter.
constexpr std::size_t kDownloadBufferBytes = 32 * 1024;
// Decoded audio kept ahead of the output per channel: 1 s of stereo samples.
constexpr std::size_t kRingSamples = core::kOutputRate * core::kOutputChannels;
// Output device block: 1024 frames, 23 ms: how often the mixer runs, so how
// soon a change of an effect reaches the output queue.
constexpr int kDeviceFrames = AudioEngine::kBlockFrames;
// Audio queued at a PulseAudio server, in ms. SDL's PulseAudio output asks
// for one device block in all (46 ms at 2048 frames), split between our
// stream and the sink, so a server or an SDL thread held up for longer on a
// busy machine was heard as a gap: 97 silent 10 ms blocks in 10 minutes.
// libpulse takes the whole depth from PULSE_LATENCY_MSEC; 150 ms is about
// what other players keep, and effects and the meter still follow within
// about a block more. A value the user set wins.
constexpr const char* kPulseLatencyMs = "150";
// Mixer scratch size; larger device requests are mixed in pieces.
constexpr int kMixFrames = 2048;
// Extra time the opening caller allows beyond the net time-out for the
// stream thread to report its own time-out before giving up on it.
constexpr auto kOpenGrace = 300ms;
// Metadata blocks kept per channel so a pointer handed out stays valid for a while.
constexpr std::size_t kMetaHistory = 16;

thread_local int t_error = 0;

template <class T> T Fail(int code, T value) {
    t_error = code;
    return value;
}
BOOL Ok() {
    t_error = BASS_OK;
    return kTrue;
}

std::atomic<DWORD> g_next_handle{0x10000};
DWORD NextHandle() {
    DWORD h;
    do
        h = g_next_handle.fetch_add(1, std::memory_order_relaxed);
    while (h == 0);
    return h;
}

std::string JoinTagList(const std::vector<std::string>& lines) {
    std::string list;
    for (const auto& line : lines) {
        list += line;
        list += '\0';
    }
    return list; // c_str() adds the closing empty string's NUL
}

bool IsHttpUrl(const std::string& url) {
    auto starts = [&](const char* prefix) {
        const std::size_t n = std::strlen(prefix);
        return url.size() > n && strncasecmp(url.c_str(), prefix, n) == 0;
    };
    return starts("http://") || starts("https://");
}

struct SyncEntry {
    HSYNC handle;
    SYNCPROC* proc;
    void* user;
};

} // namespace

// An effect on a channel; exactly one of the two is set, never changed.
struct FxEntry {
    std::shared_ptr<ParametricEqualizer> eq;
    std::shared_ptr<Reverb> reverb;
};

struct EncoderEntry {
    HENCODE handle = 0;
    bool autofree = false;
    std::shared_ptr<EncoderProcess> process;
};

// One stream. Shared by the engine's tables, the stream thread, the download
// thread's callbacks (weakly) and the mixer's list.
struct Channel {
    explicit Channel(DWORD h) : handle(h) {
        chain.prepare(core::kOutputRate, core::kOutputChannels);
        gain_pan.prepare(core::kOutputRate, core::kOutputChannels);
        meter.prepare(core::kOutputRate, core::kOutputChannels);
    }

    const DWORD handle;
    std::string url;       // never changes after creation
    BASS_CHANNELINFO info; // written by the stream thread before the opener returns; then constant

    std::atomic<bool> dead{false};         // freed or abandoned: silent, its threads end
    std::atomic<bool> playing{false};      // BASS_ChannelPlay was called
    std::atomic<bool> decoder_done{false}; // no more audio will come
    std::atomic<bool> stalled{false};      // the last output block lacked audio
    std::atomic<bool> sounded{false};      // has given audio to the output at least once
    std::atomic<bool> in_mix{false};       // in the mixer's list; changed under the mix mutex
    std::shared_ptr<std::atomic<bool>> cancel = std::make_shared<std::atomic<bool>>(false);

    core::PcmRing ring{kRingSamples}; // decoder writes, mixer reads
    std::mutex wake_mutex;
    std::condition_variable wake; // the decoder waits here for room or for the end

    // Byte source of an HTTP stream; null for HLS. Set before the opener returns.
    std::shared_ptr<DownloadBuffer> buffer;

    mutable std::mutex tags_mutex;    // guards the tags and the syncs
    std::string tag_http, tag_icy;    // NUL-separated lists; constant once open
    std::string tag_wma;              // container tags of ASF/WMA streams
    std::deque<std::string> tag_meta; // newest last
    std::vector<SyncEntry> syncs;

    // DSP callbacks and effects in priority order; changed from any thread
    // without making the mixer wait.
    DspChain chain;
    GainPan gain_pan;                   // volume and pan attributes
    LevelMeter meter;                   // after DSP callbacks and effects, before volume and pan
    std::vector<EncoderEntry> encoders; // engine's mix mutex

    bool Finished() const { return decoder_done.load() && ring.Available() == 0; }

    void Kill() {
        dead = true;
        cancel->store(true);
        std::shared_ptr<DownloadBuffer> b;
        {
            std::lock_guard lock(tags_mutex);
            b = buffer;
        }
        if (b) b->Stop();
        wake.notify_all();
    }
};

struct AudioEngine::State {
    std::mutex handles_mutex;
    bool initialised = false;                                                       // handles_mutex
    std::unordered_map<DWORD, std::shared_ptr<Channel>> channels;                   // handles_mutex
    std::unordered_map<HDSP, std::pair<std::weak_ptr<Channel>, DspChain::Id>> dsps; // handles_mutex
    std::unordered_map<HFX, std::pair<std::weak_ptr<Channel>, FxEntry>> fxs;        // handles_mutex
    // Freed channels the mixer may still list; dropped once it has let go, so
    // no channel is destroyed on the output thread. handles_mutex
    std::vector<std::shared_ptr<Channel>> zombies;
    SDL_AudioDeviceID device = 0; // handles_mutex

    std::recursive_mutex mix_mutex; // held by the mixer for one pass; recursive for calls from DSP callbacks
    std::vector<std::shared_ptr<Channel>> mixing; // mix_mutex

    std::atomic<DWORD> cfg_playlist{0};
    std::atomic<DWORD> cfg_floatdsp{1};
    std::atomic<DWORD> cfg_prebuf{0};
    std::atomic<DWORD> cfg_timeout{5000};

    std::atomic<std::uint64_t> underruns{0};
    std::atomic<std::uint64_t> blocks{0};

    // Output thread only.
    std::vector<float> scratch = std::vector<float>(kMixFrames * 2);

    std::shared_ptr<Channel> Find(DWORD handle) {
        std::lock_guard lock(handles_mutex);
        auto it = channels.find(handle);
        return it == channels.end() ? nullptr : it->second;
    }
    void PurgeZombies() { // handles_mutex held
        std::erase_if(zombies, [](const auto& ch) { return !ch->in_mix.load(); });
    }
    void Mix(float* out, int frames) noexcept;
    void MixChannel(Channel& ch, float* out, int frames) noexcept;
};

namespace {

void SDLCALL AudioCallback(void* user, Uint8* stream, int len) {
    // Output thread.
    auto* state = static_cast<AudioEngine::State*>(user);
    auto* out = reinterpret_cast<float*>(stream);
    int frames = len / static_cast<int>(sizeof(float) * 2);
    while (frames > 0) {
        const int n = std::min(frames, kMixFrames);
        state->Mix(out, n);
        out += n * 2;
        frames -= n;
    }
}

// Download thread (ICY) or stream thread (in-stream tags): a new metadata block.
void DeliverMetadata(const std::weak_ptr<Channel>& weak, std::string_view block) {
    auto ch = weak.lock();
    if (!ch || ch->dead) return;
    std::vector<SyncEntry> syncs;
    {
        std::lock_guard lock(ch->tags_mutex);
        ch->tag_meta.emplace_back(block);
        if (ch->tag_meta.size() > kMetaHistory) ch->tag_meta.pop_front();
        syncs = ch->syncs;
    }
    for (const auto& s : syncs) {
        if (ch->dead) return;
        s.proc(s.handle, ch->handle, 0, s.user);
    }
}

struct OpenResult {
    std::mutex mutex;
    std::condition_variable done_cv;
    bool done = false; // mutex
    int error = 0;     // mutex
    void Finish(int code) {
        std::lock_guard lock(mutex);
        done = true;
        error = code;
        done_cv.notify_all();
    }
};

struct OpenRequest {
    std::string url;
    DOWNLOADPROC* status = nullptr;
    void* user = nullptr;
    int timeout_ms = 5000;
    bool playlists = false;
    int prebuf_percent = 0;
    DWORD flags = 0;
};

// Stream thread: opens the stream, reports to the waiting opener, then decodes
// until the end or until the channel dies.
void RunStream(std::shared_ptr<Channel> ch, std::shared_ptr<OpenResult> result, OpenRequest req) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(req.timeout_ms);
    std::weak_ptr<Channel> weak = ch;
    std::unique_ptr<HttpStream> http;
    std::string url = req.url;
    // HLS is told by the reply's body, never by the name alone: many ".m3u8"
    // URLs are plain m3u playlists, which FFmpeg's HLS reader refuses.
    bool hls = false;
    std::string format;

    if (!IsHttpUrl(url)) return result->Finish(BASS_ERROR_FILEOPEN);
    {
        HttpStreamOptions options;
        options.timeout_ms = req.timeout_ms;
        options.buffer_capacity = kDownloadBufferBytes;
        options.resolve_playlists = req.playlists;
        options.cancel = ch->cancel;
        if (req.status) {
            options.on_status_line = [weak, proc = req.status, user = req.user](std::string_view line) {
                // Download thread: a raw reply line while the opener waits.
                auto c = weak.lock();
                if (!c || c->dead) return;
                const std::string text(line);
                proc(text.c_str(), 0, user);
            };
        }
        options.on_metadata = [weak](std::string_view block, std::uint64_t) { DeliverMetadata(weak, block); };
        int error = 0;
        http = HttpStream::Open(url, std::move(options), &error);
        if (!http) {
            if (ch->dead) error = Clock::now() >= deadline ? BASS_ERROR_TIMEOUT : BASS_ERROR_FILEOPEN;
            return result->Finish(error ? error : BASS_ERROR_FILEOPEN);
        }
        if (http->IsHls()) {
            hls = true;
            url = http->FinalUrl();
            format = "hls";
        } else {
            format = http->InputFormat();
            std::lock_guard lock(ch->tags_mutex);
            ch->tag_http = JoinTagList(http->HeaderLines());
            ch->tag_icy = JoinTagList(http->IcyHeaderLines());
            ch->buffer = http->Buffer();
        }
    }

    // Once open, a live stream may pause as long as it likes; before that the
    // open must finish within the time-out.
    std::atomic<bool> opening{true};
    auto expired = [&] { return ch->dead.load() || (opening && Clock::now() >= deadline); };
    core::DecoderInput input;
    input.format = format;
    input.interrupted = expired;
    if (hls) {
        input.url = url;
    } else {
        input.read = [buffer = ch->buffer, &expired](std::uint8_t* dst, int size) -> int {
            for (;;) {
                const auto r = buffer->Read(dst, static_cast<std::size_t>(size), 100ms);
                switch (r.state) {
                case DownloadBuffer::ReadState::kData:
                    return static_cast<int>(r.bytes);
                case DownloadBuffer::ReadState::kEnd:
                    return 0;
                case DownloadBuffer::ReadState::kStopped:
                    return -1;
                case DownloadBuffer::ReadState::kTimeout:
                    if (expired()) return -1;
                    break;
                }
            }
        };
    }
    core::FfmpegDecoder decoder;
    int rc = decoder.Open(std::move(input));
    if (rc != 0) {
        if (http) http->Stop();
        if (!ch->dead && Clock::now() >= deadline)
            rc = BASS_ERROR_TIMEOUT;
        else if (!ch->dead && http && http->Buffer()->Ended() && http->Buffer()->TotalWritten() == 0)
            rc = BASS_ERROR_FILEFORM;
        return result->Finish(rc);
    }
    opening = false;
    ch->info.freq = core::kOutputRate;
    ch->info.chans = static_cast<DWORD>(decoder.SourceChannels());
    ch->info.flags = req.flags;
    ch->info.ctype = 0x10000u + static_cast<DWORD>(decoder.CodecId());
    ch->info.origres = static_cast<DWORD>(decoder.SourceBits());
    ch->info.filename = ch->url.c_str();
    if (format == "asf") {
        std::lock_guard lock(ch->tags_mutex);
        ch->tag_wma = JoinTagList(decoder.ContainerTags());
    }
    if (req.prebuf_percent > 0 && ch->buffer) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        ch->buffer->WaitForBuffered(ch->buffer->Capacity() * req.prebuf_percent / 100,
                                    std::max(left, std::chrono::milliseconds(0)));
    }
    result->Finish(0);

    // Titles carried in the stream itself (Ogg comments) reach the player as
    // ICY blocks do, unless the server sends ICY metadata of its own.
    const bool icy_metadata = http && http->Metaint() > 0;
    std::string title;
    auto publish_title = [&] {
        if (!icy_metadata && decoder.TakeTitleChange(title))
            DeliverMetadata(weak, "StreamTitle='" + title + "';");
    };
    publish_title();
    std::vector<float> pcm;
    pcm.reserve(16384);
    while (!ch->dead) {
        pcm.clear();
        const auto step = decoder.DecodeSome(pcm);
        if (step == core::FfmpegDecoder::Step::kEnd) break;
        publish_title();
        std::size_t offset = 0;
        while (offset < pcm.size() && !ch->dead) {
            offset += ch->ring.Write(pcm.data() + offset, pcm.size() - offset);
            if (offset < pcm.size()) {
                // The mixer drains a block per 23 ms; it never signals, so poll.
                std::unique_lock lock(ch->wake_mutex);
                ch->wake.wait_for(lock, 20ms, [&] { return ch->dead.load(); });
            }
        }
    }
    ch->decoder_done = true;
    if (http) http->Stop();
}

} // namespace

namespace {
// Ends a freed channel's recordings: the program gets the end of its input.
void StopEncoders(AudioEngine::State& state, Channel& ch) {
    std::vector<EncoderEntry> encoders;
    {
        std::lock_guard lock(state.mix_mutex);
        encoders.swap(ch.encoders);
    }
    for (auto& e : encoders)
        e.process->stop();
}
} // namespace

void AudioEngine::State::Mix(float* out, int frames) noexcept {
    // Output thread.
    std::fill(out, out + frames * 2, 0.0f);
    std::lock_guard lock(mix_mutex);
    for (std::size_t i = 0; i < mixing.size();) {
        if (mixing[i]->dead) {
            mixing[i]->in_mix = false; // a zombie still holds it: not destroyed here
            mixing.erase(mixing.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
    // Index loop: a DSP callback may add a channel (the list may grow) or free one.
    for (std::size_t i = 0; i < mixing.size(); ++i)
        MixChannel(*mixing[i], out, frames);
    for (int i = 0; i < frames * 2; ++i)
        out[i] = std::clamp(out[i], -1.0f, 1.0f);
    blocks.fetch_add(1, std::memory_order_relaxed);
}

void AudioEngine::State::MixChannel(Channel& ch, float* out, int frames) noexcept {
    // Output thread, mix mutex held.
    if (ch.dead || !ch.playing) return;
    float* buf = scratch.data();
    const std::size_t want = static_cast<std::size_t>(frames) * 2;
    const std::size_t got = ch.ring.Read(buf, want);
    if (got < want) {
        std::fill(buf + got, buf + want, 0.0f);
        if (ch.decoder_done) {
            if (got == 0) {
                ch.meter.reset();
                return;
            }
        } else {
            if (ch.sounded) underruns.fetch_add(1, std::memory_order_relaxed);
            ch.stalled = true;
        }
    } else {
        ch.stalled = false;
    }
    if (got > 0) ch.sounded = true;

    ch.chain.process(buf, frames);
    if (ch.dead) return; // freed from inside a DSP callback: silent at once
    // Recordings take the processed sound before volume and pan, so muting
    // the speakers never blanks a recording.
    for (const auto& e : ch.encoders)
        e.process->push(buf, frames);
    // The level shows what the stream carries after its shaping, so a muted
    // station still moves the meter and counts as sounding.
    ch.meter.process(buf, frames);
    ch.gain_pan.process(buf, frames);
    for (int i = 0; i < frames * 2; ++i)
        out[i] += buf[i];
}

AudioEngine::AudioEngine() : state_(std::make_shared<State>()) {}

AudioEngine::~AudioEngine() {
    BASS_Free();
}

DWORD AudioEngine::BASS_GetVersion() {
    t_error = BASS_OK;
    return BASS_VERSION;
}

BOOL AudioEngine::BASS_Init(int device, DWORD freq, DWORD, void*, const void*) {
    if (device != -1 && device != 1) return Fail(BASS_ERROR_DEVICE, kFalse);
    if (freq == 0 || freq > 384000) return Fail(BASS_ERROR_FREQ, kFalse);
    std::lock_guard lock(state_->handles_mutex);
    if (state_->initialised) return Fail(BASS_ERROR_ALREADY, kFalse);
    av_log_set_level(AV_LOG_FATAL); // broken frames of live streams are expected, not news
    // SDL would otherwise turn SIGINT and SIGTERM into events nobody reads,
    // and the process could no longer be stopped by them.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    PrepareAudioOutput();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return Fail(BASS_ERROR_DRIVER, kFalse);
    // The mixer always runs at 44100 Hz stereo float; SDL converts if the device differs.
    SDL_AudioSpec want{};
    want.freq = core::kOutputRate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = kDeviceFrames;
    want.callback = &AudioCallback;
    want.userdata = state_.get();
    SDL_AudioSpec have{};
    const SDL_AudioDeviceID dev = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (dev == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return Fail(BASS_ERROR_DRIVER, kFalse);
    }
    state_->device = dev;
    state_->initialised = true;
    state_->underruns = 0;
    state_->blocks = 0;
    SDL_PauseAudioDevice(dev, 0);
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
        if (strcasecmp(name.c_str(), kKnown[i]) == 0) {
            t_error = BASS_OK;
            return static_cast<HPLUGIN>(0x100 + i);
        }
    }
    return Fail(BASS_ERROR_FILEOPEN, HPLUGIN{0});
}

BOOL AudioEngine::BASS_SetConfig(DWORD option, DWORD value) {
    switch (option) {
    case BASS_CONFIG_NET_PLAYLIST:
        state_->cfg_playlist = value ? 1 : 0;
        return Ok();
    case BASS_CONFIG_FLOATDSP:
        state_->cfg_floatdsp = value ? 1 : 0;
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
    SDL_AudioDeviceID device = 0;
    {
        std::lock_guard lock(state_->handles_mutex);
        if (!state_->initialised) return Fail(BASS_ERROR_INIT, kFalse);
        state_->initialised = false;
        for (auto& [handle, ch] : state_->channels)
            all.push_back(ch);
        state_->channels.clear();
        state_->dsps.clear();
        state_->fxs.clear();
        state_->zombies.clear();
        device = state_->device;
        state_->device = 0;
    }
    for (auto& ch : all) {
        ch->Kill();
        StopEncoders(*state_, *ch);
    }
    // Closing waits for the mixer's current pass only.
    SDL_CloseAudioDevice(device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    {
        std::lock_guard lock(state_->mix_mutex);
        for (auto& ch : state_->mixing)
            ch->in_mix = false;
        state_->mixing.clear();
    }
    return Ok();
}

int AudioEngine::BASS_ErrorGetCode() {
    return t_error;
}

HSTREAM AudioEngine::BASS_StreamCreateURL(const char* url, DWORD, DWORD flags, DOWNLOADPROC* proc,
                                          void* user) {
    {
        std::lock_guard lock(state_->handles_mutex);
        if (!state_->initialised) return Fail(BASS_ERROR_INIT, HSTREAM{0});
        state_->PurgeZombies();
    }
    if (!url || !*url) return Fail(BASS_ERROR_FILEOPEN, HSTREAM{0});
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
    auto result = std::make_shared<OpenResult>();
    const auto deadline = Clock::now() + std::chrono::milliseconds(req.timeout_ms) + kOpenGrace;
    std::thread([ch, result, req]() mutable {
        LiveThreads::Token token;
        RunStream(std::move(ch), std::move(result), std::move(req));
    }).detach();

    int error = 0;
    {
        std::unique_lock lock(result->mutex);
        if (!result->done_cv.wait_until(lock, deadline, [&] { return result->done; })) {
            lock.unlock();
            ch->Kill();
            return Fail(BASS_ERROR_TIMEOUT, HSTREAM{0});
        }
        error = result->error;
    }
    if (error != 0) {
        ch->Kill();
        return Fail(error, HSTREAM{0});
    }
    std::lock_guard lock(state_->handles_mutex);
    if (!state_->initialised) { // the engine was freed meanwhile
        ch->Kill();
        return Fail(BASS_ERROR_INIT, HSTREAM{0});
    }
    state_->channels.emplace(ch->handle, ch);
    t_error = BASS_OK;
    return ch->handle;
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
    StopEncoders(*state_, *ch);
    return Ok();
}

QWORD AudioEngine::BASS_StreamGetFilePosition(HSTREAM handle, DWORD mode) {
    auto ch = state_->Find(handle);
    if (!ch) return Fail(BASS_ERROR_HANDLE, BASS_POSITION_FAILED);
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
        t_error = BASS_OK;
        return capacity;
    case BASS_FILEPOS_BUFFER:
        t_error = BASS_OK;
        return buffered;
    case BASS_FILEPOS_WMA_BUFFER:
        t_error = BASS_OK;
        return capacity ? buffered * 100 / capacity : 0;
    default:
        return Fail(BASS_ERROR_ILLTYPE, BASS_POSITION_FAILED);
    }
}

const char* AudioEngine::BASS_ChannelGetTags(DWORD handle, DWORD tags) {
    auto ch = state_->Find(handle);
    if (!ch) return Fail(BASS_ERROR_HANDLE, static_cast<const char*>(nullptr));
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
        return Fail(BASS_ERROR_ILLTYPE, static_cast<const char*>(nullptr));
    }
    // The channel keeps the string alive; the text stays valid while it lives
    // (metadata: for the next kMetaHistory blocks).
    if (!text || text->empty()) return Fail(BASS_ERROR_NOTAVAIL, static_cast<const char*>(nullptr));
    t_error = BASS_OK;
    return text->c_str();
}

HSYNC AudioEngine::BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD, SYNCPROC* proc, void* user) {
    auto ch = state_->Find(handle);
    if (!ch) return Fail(BASS_ERROR_HANDLE, HSYNC{0});
    if (type != BASS_SYNC_META) return Fail(BASS_ERROR_ILLTYPE, HSYNC{0});
    if (!proc) return Fail(BASS_ERROR_ILLPARAM, HSYNC{0});
    const HSYNC sync = NextHandle();
    {
        std::lock_guard lock(ch->tags_mutex);
        ch->syncs.push_back({sync, proc, user});
    }
    t_error = BASS_OK;
    return sync;
}

BOOL AudioEngine::BASS_ChannelGetInfo(DWORD handle, BASS_CHANNELINFO* info) {
    auto ch = state_->Find(handle);
    if (!ch) return Fail(BASS_ERROR_HANDLE, kFalse);
    if (!info) return Fail(BASS_ERROR_ILLPARAM, kFalse);
    *info = ch->info;
    return Ok();
}

BOOL AudioEngine::BASS_ChannelPlay(DWORD handle, BOOL) {
    auto ch = state_->Find(handle);
    if (!ch) return Fail(BASS_ERROR_HANDLE, kFalse);
    {
        std::lock_guard lock(state_->mix_mutex);
        if (ch->dead) return Fail(BASS_ERROR_HANDLE, kFalse);
        if (!ch->in_mix) {
            state_->mixing.push_back(ch);
            ch->in_mix = true;
        }
        ch->playing = true;
    }
    return Ok();
}

DWORD AudioEngine::BASS_ChannelIsActive(DWORD handle) {
    auto ch = state_->Find(handle);
    if (!ch) return Fail(BASS_ERROR_HANDLE, BASS_ACTIVE_STOPPED);
    t_error = BASS_OK;
    if (ch->dead || !ch->playing || ch->Finished()) return BASS_ACTIVE_STOPPED;
    return ch->stalled ? BASS_ACTIVE_STALLED : BASS_ACTIVE_PLAYING;
}

DWORD AudioEngine::BASS_ChannelGetLevel(DWORD handle) {
    auto ch = state_->Find(handle);
    if (!ch) return Fail(BASS_ERROR_HANDLE, ~DWORD{0});
    if (!ch->playing || ch->Finished()) return Fail(BASS_ERROR_NOPLAY, ~DWORD{0});
    t_error = BASS_OK;
    return ch->meter.level();
}

HFX AudioEngine::BASS_ChannelSetFX(DWORD handle, DWORD type, int priority) {
    auto ch = state_->Find(handle);
    if (!ch) return Fail(BASS_ERROR_HANDLE, HFX{0});
    FxEntry entry;
    std::shared_ptr<DspUnit> unit;
    if (type == BASS_FX_DX8_PARAMEQ)
        unit = entry.eq = std::make_shared<ParametricEqualizer>();
    else if (type == BASS_FX_DX8_REVERB)
        unit = entry.reverb = std::make_shared<Reverb>();
    else
        return Fail(BASS_ERROR_ILLTYPE, HFX{0});
    if (ch->chain.add(unit, priority) == 0) return Fail(BASS_ERROR_MEM, HFX{0});
    const HFX fx = NextHandle();
    std::lock_guard lock(state_->handles_mutex);
    state_->fxs[fx] = {ch, entry};
    t_error = BASS_OK;
    return fx;
}

BOOL AudioEngine::BASS_FXGetParameters(HFX handle, void* params) {
    FxEntry entry;
    {
        std::lock_guard lock(state_->handles_mutex);
        auto it = state_->fxs.find(handle);
        if (it == state_->fxs.end()) return Fail(BASS_ERROR_HANDLE, kFalse);
        entry = it->second.second;
    }
    if (!params) return Fail(BASS_ERROR_ILLPARAM, kFalse);
    if (entry.eq)
        *static_cast<BASS_DX8_PARAMEQ*>(params) = entry.eq->parameters();
    else
        *static_cast<BASS_DX8_REVERB*>(params) = entry.reverb->parameters();
    return Ok();
}

BOOL AudioEngine::BASS_FXSetParameters(HFX handle, const void* params) {
    FxEntry entry;
    {
        std::lock_guard lock(state_->handles_mutex);
        auto it = state_->fxs.find(handle);
        if (it == state_->fxs.end()) return Fail(BASS_ERROR_HANDLE, kFalse);
        entry = it->second.second;
    }
    if (!params) return Fail(BASS_ERROR_ILLPARAM, kFalse);
    const bool ok = entry.eq ? entry.eq->setParameters(*static_cast<const BASS_DX8_PARAMEQ*>(params))
                             : entry.reverb->setParameters(*static_cast<const BASS_DX8_REVERB*>(params));
    return ok ? Ok() : Fail(BASS_ERROR_ILLPARAM, kFalse);
}

BOOL AudioEngine::BASS_ChannelSetAttribute(DWORD handle, DWORD attrib, float value) {
    auto ch = state_->Find(handle);
    if (!ch) return Fail(BASS_ERROR_HANDLE, kFalse);
    bool ok;
    switch (attrib) {
    case BASS_ATTRIB_VOL:
        ok = ch->gain_pan.setVolume(value);
        break;
    case BASS_ATTRIB_PAN:
        ok = ch->gain_pan.setPan(value);
        break;
    default:
        return Fail(BASS_ERROR_ILLTYPE, kFalse);
    }
    return ok ? Ok() : Fail(BASS_ERROR_ILLPARAM, kFalse);
}

HDSP AudioEngine::BASS_ChannelSetDSP(DWORD handle, DSPPROC* proc, void* user, int priority) {
    auto ch = state_->Find(handle);
    if (!ch) return Fail(BASS_ERROR_HANDLE, HDSP{0});
    if (!proc) return Fail(BASS_ERROR_ILLPARAM, HDSP{0});
    const HDSP dsp = NextHandle();
    const DWORD channel = ch->handle;
    auto unit = std::make_shared<FunctionUnit>([dsp, channel, proc, user](float* block, int frames) {
        // Output thread.
        proc(dsp, channel, block, static_cast<DWORD>(frames) * core::kOutputChannels * sizeof(float), user);
    });
    const DspChain::Id id = ch->chain.add(std::move(unit), priority);
    if (id == 0) return Fail(BASS_ERROR_MEM, HDSP{0});
    std::lock_guard lock(state_->handles_mutex);
    state_->dsps[dsp] = {ch, id};
    t_error = BASS_OK;
    return dsp;
}

BOOL AudioEngine::BASS_ChannelRemoveDSP(DWORD handle, HDSP dsp) {
    auto ch = state_->Find(handle);
    if (!ch) return Fail(BASS_ERROR_HANDLE, kFalse);
    DspChain::Id id = 0;
    {
        std::lock_guard lock(state_->handles_mutex);
        auto it = state_->dsps.find(dsp);
        if (it == state_->dsps.end() || it->second.first.lock() != ch) return Fail(BASS_ERROR_HANDLE, kFalse);
        id = it->second.second;
        state_->dsps.erase(it);
    }
    ch->chain.remove(id);
    return Ok();
}

HENCODE AudioEngine::BASS_Encode_Start(DWORD handle, const char* cmdline, DWORD flags, ENCODEPROC* proc,
                                       void*) {
    auto ch = state_->Find(handle);
    if (!ch) return Fail(BASS_ERROR_HANDLE, HENCODE{0});
    if (!cmdline || !*cmdline || proc) return Fail(BASS_ERROR_ILLPARAM, HENCODE{0});
    auto process = std::make_shared<EncoderProcess>();
    const int rc = process->start(cmdline, core::kOutputRate, core::kOutputChannels);
    if (rc != EncoderProcess::kOk) return Fail(rc, HENCODE{0});
    const HENCODE encoder = NextHandle();
    std::lock_guard lock(state_->mix_mutex);
    if (ch->dead) {
        process->stop();
        return Fail(BASS_ERROR_HANDLE, HENCODE{0});
    }
    ch->encoders.push_back({encoder, (flags & BASS_ENCODE_AUTOFREE) != 0, std::move(process)});
    t_error = BASS_OK;
    return encoder;
}

BOOL AudioEngine::BASS_Encode_Stop(DWORD handle) {
    // A channel handle stops all of its encoders; an encoder handle just that one.
    std::vector<std::shared_ptr<Channel>> channels;
    HENCODE only = 0;
    {
        std::lock_guard lock(state_->handles_mutex);
        if (auto it = state_->channels.find(handle); it != state_->channels.end()) {
            channels.push_back(it->second);
        } else {
            only = handle;
            for (auto& [h, ch] : state_->channels)
                channels.push_back(ch);
        }
    }
    // The mix mutex is never taken while holding the handles mutex: a DSP
    // callback on the output thread (mix mutex held) may free its channel.
    std::vector<std::shared_ptr<EncoderProcess>> stopped;
    {
        std::lock_guard lock(state_->mix_mutex);
        for (auto& ch : channels) {
            std::erase_if(ch->encoders, [&](EncoderEntry& e) {
                if (only && e.handle != only) return false;
                stopped.push_back(std::move(e.process));
                return true;
            });
        }
    }
    if (only && stopped.empty()) return Fail(BASS_ERROR_HANDLE, kFalse);
    for (auto& p : stopped)
        p->stop(); // returns at once; the writer thread reaps the program
    return Ok();
}

std::uint64_t AudioEngine::UnderrunCount() const {
    return state_->underruns.load();
}
std::uint64_t AudioEngine::MixedBlocks() const {
    return state_->blocks.load();
}

bool AudioEngine::WaitForStreamThreads(std::chrono::milliseconds timeout) {
    return LiveThreads::WaitUntilNone(timeout);
}

void PrepareAudioOutput() {
    // Read by libpulse when SDL's output connects; other drivers ignore it.
    // A value the user set wins, and once set nothing is written again.
    if (!std::getenv("PULSE_LATENCY_MSEC")) setenv("PULSE_LATENCY_MSEC", kPulseLatencyMs, 0);
}

std::unique_ptr<AudioLibrary> MakeAudioEngine() {
    return std::make_unique<AudioEngine>();
}

} // namespace lumaro::engine
