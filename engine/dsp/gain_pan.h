#pragma once
// A channel's volume and pan (the engine's attributes 2 and 3).
//
// Pan law (a balance control): left x min(1, 1 - pan), right x min(1, 1 + pan).
// Pan 0 leaves both channels as they are, -1 keeps only the left channel,
// +1 only the right, -0.5 keeps the left whole and halves the right. The
// louder side never rises above unity, so panning can't clip. A mono channel
// gets the volume only; with more than two channels the pan acts on the
// first two.

#include "engine/dsp/dsp_unit.h"

#include <atomic>

namespace lumaro::engine {

class GainPan final : public DspUnit {
public:
    void prepare(double sampleRate, int channels) override;
    void process(float* interleaved, int frames) noexcept override;
    void reset() override;

    // Any thread. Volume is linear, 0 (silent) .. 1 (unchanged); pan -1 .. +1.
    // Values outside are clamped; NaN is refused (false, nothing changes).
    // The change glides over kParameterRampSeconds.
    bool setVolume(float volume);
    bool setPan(float pan);
    float volume() const { return volume_.load(std::memory_order_relaxed); }
    float pan() const { return pan_.load(std::memory_order_relaxed); }

private:
    std::atomic<float> volume_{1.0f};
    std::atomic<float> pan_{0.0f};
    // Audio thread (and prepare/reset) only:
    int channels_ = 2;
    int rampSamples_ = 882;
    bool fresh_ = true; // the first block starts at the set values, without a glide
    struct Ramp {
        float current = 1.0f, target = 1.0f, step = 0.0f;
        int left = 0;
    } leftGain_, rightGain_;
};

} // namespace lumaro::engine
