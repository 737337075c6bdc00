#pragma once
// Effect type 7: one peaking equaliser band (a second-order bell filter from
// the well-known audio-EQ cookbook), applied to every channel alike.

#include "engine/dsp/dsp_unit.h"
#include "engine/dsp/effect_params.h"
#include "engine/dsp/param_slot.h"

#include <cstdint>
#include <vector>

namespace lumaro::engine {

class ParametricEqualizer final : public DspUnit {
public:
    ParametricEqualizer();

    void prepare(double sampleRate, int channels) override;
    void process(float* interleaved, int frames) noexcept override;
    void reset() override;

    // Any thread. Returns false and changes nothing when a field lies outside
    // ParamEqLimits or is NaN. The band glides to the new setting over
    // kParameterRampSeconds. A centre above 0.45 x the sample rate is filtered
    // at 0.45 x the sample rate (the record keeps the value as given).
    bool setParameters(const BASS_DX8_PARAMEQ& params);
    // Any thread: the record as last set (ParamEqLimits::kDefaults at first).
    BASS_DX8_PARAMEQ parameters() const { return params_.load(); }

private:
    struct Shape {
        double gainDb = 0.0, log2Center = 0.0, octaves = 1.0;
    };
    struct Coefficients {
        double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
    };
    struct ChannelState {
        double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
    };

    Shape shapeOf(const BASS_DX8_PARAMEQ& p) const noexcept;
    Coefficients design(const Shape& s) const noexcept;
    void filter(float* interleaved, int frames, const Coefficients& c) noexcept;
    void bypass(const float* interleaved, int frames) noexcept;

    ParamSlot<BASS_DX8_PARAMEQ> params_;
    // Audio thread (and prepare/reset) only:
    double sampleRate_ = 44100.0;
    int channels_ = 2;
    uint32_t seenStamp_ = 0;
    Shape from_, to_, now_;
    int rampTotal_ = 0, rampLeft_ = 0;
    bool fresh_ = true; // no sound since prepare/reset: a new setting applies at once
    Coefficients coeffs_;
    std::vector<ChannelState> state_;
};

} // namespace lumaro::engine
