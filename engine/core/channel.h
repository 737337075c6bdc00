#pragma once
// One stream and its state, shared by the engine's handle tables, the stream
// thread, the download thread's callbacks (weakly), the callback thread and
// the mixer.
#include "engine/audio_library.h"
#include "engine/core/ffmpeg_decoder.h"
#include "engine/core/pcm_ring.h"
#include "engine/dsp/dsp_chain.h"
#include "engine/dsp/gain_pan.h"
#include "engine/dsp/level_meter.h"
#include "engine/dsp/parametric_equalizer.h"
#include "engine/dsp/reverb.h"
#include "engine/encoder/encoder_process.h"
#include "engine/net/download_buffer.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace lumaro::engine {

// Decoded audio kept ahead of the output per channel: 1 s of stereo samples.
inline constexpr std::size_t kRingSamples = core::kOutputRate * core::kOutputChannels;
// Metadata blocks kept per channel so a pointer handed out stays valid for a while.
inline constexpr std::size_t kMetaHistory = 16;

struct SyncEntry {
    HSYNC handle;
    SYNCPROC* proc;
    void* user;
};

// An effect on a channel; exactly one of the two is set, never changed.
struct FxEntry {
    std::shared_ptr<ParametricEqualizer> eq;
    std::shared_ptr<Reverb> reverb;
};

// A recording of a channel. Freeing the channel always ends it, so the
// auto-free flag needs no record.
struct EncoderEntry {
    HENCODE handle = 0;
    std::shared_ptr<EncoderProcess> process;
};

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
    // Stamp of the last status line handed to the callback thread; download thread writes
    std::atomic<std::uint64_t> last_status{0};

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
    std::vector<EncoderEntry> encoders; // the mixer's mutex

    bool Finished() const { return decoder_done.load() && ring.Available() == 0; }

    // Any thread: the channel falls silent and its threads end.
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

} // namespace lumaro::engine
