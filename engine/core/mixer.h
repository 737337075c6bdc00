#pragma once
// Mixes the playing channels into the output's blocks: each channel's decoded
// audio through its DSP chain, recordings, level meter, volume and pan.
#include "engine/core/channel.h"
#include "engine/output/audio_output.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace lumaro::engine {

class Mixer final : public RenderSource {
public:
    // Largest block mixed in one pass; larger requests are mixed in pieces.
    static constexpr int kMaxFrames = 2048;

    // Output thread: mixes `frames` frames of interleaved stereo into `out`.
    void Render(float* out, int frames) noexcept override;

    // Any thread: adds the channel to the mix (once) and lets it sound.
    // False when it is dead.
    bool Play(const std::shared_ptr<Channel>& ch);
    // Any thread: drops every channel from the list (the output has stopped).
    void Clear();

    // Any thread: attaches a recording; false (and nothing attached) when the
    // channel is dead.
    bool AddEncoder(Channel& ch, EncoderEntry entry);
    // Any thread: detaches the channel's recordings (only the one with handle
    // `only`, when not 0) and returns them, not yet stopped.
    std::vector<std::shared_ptr<EncoderProcess>> TakeEncoders(Channel& ch, HENCODE only = 0);

    // Blocks in which a playing channel that had already sounded lacked audio.
    std::uint64_t Underruns() const { return underruns_.load(); }
    // Blocks (of up to kMaxFrames) mixed.
    std::uint64_t Blocks() const { return blocks_.load(); }
    void ResetCounters();

private:
    void MixBlock(float* out, int frames) noexcept;
    void MixChannel(Channel& ch, float* out, int frames) noexcept;

    // Held by the mixer for one pass; recursive because a DSP callback may
    // call back into the engine (free its channel, start a recording).
    std::recursive_mutex mutex_;
    std::vector<std::shared_ptr<Channel>> mixing_;                    // mutex_
    std::vector<float> scratch_ = std::vector<float>(kMaxFrames * 2); // output thread
    std::atomic<std::uint64_t> underruns_{0};
    std::atomic<std::uint64_t> blocks_{0};
};

} // namespace lumaro::engine
