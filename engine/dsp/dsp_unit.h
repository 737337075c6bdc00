#pragma once
// The one shape of every DSP block of the engine.
//
// Threads: prepare() and reset() are called by the block's owner while no
// process() call runs (before playback, or with the channel out of the mixer).
// process() runs on the output thread: it never allocates, locks or blocks.
// Parameter setters of the blocks may be called from any thread at any time:
// they only store the new values, which process() picks up at its next block
// and ramps to, so a change never clicks. Settings made before the first
// block after prepare() or reset() apply at once, without a glide.

namespace lumaro::engine {

// Time over which a parameter change glides to its new value.
inline constexpr double kParameterRampSeconds = 0.02;

class DspUnit {
public:
    virtual ~DspUnit() = default;

    // sampleRate in Hz (> 0), channels >= 1. May allocate. Clears the state.
    virtual void prepare(double sampleRate, int channels) = 0;
    // Works in place on `frames` interleaved frames of the prepared channel count.
    virtual void process(float* interleaved, int frames) noexcept = 0;
    // Forgets the signal history (filter memory, tails, ramps in flight);
    // parameters stay.
    virtual void reset() = 0;
};

} // namespace lumaro::engine
