#pragma once
// Effect type 8: our own algorithmic stereo reverb. Eight damped feedback comb
// filters per side feed four all-pass diffusers; each comb's feedback and
// damping are derived from the reverb time and the high-frequency ratio so
// the tail falls by 60 dB in fReverbTime at low frequencies and in
// fReverbTime x fHighFreqRTRatio at high ones.
//
// Output = g * x + m * tail(g * x), where g is the input gain and m the mix
// (both from dB; -96 dB, the bottom of either range, is exactly 0). The tail is
// scaled so that at a mix of 0 dB its power about matches the dry signal's.
// Mono channels run one tank; with more than two channels the first two make
// the stereo pair and the others pass with the input gain only.

#include "engine/dsp/dsp_unit.h"
#include "engine/dsp/effect_params.h"
#include "engine/dsp/param_slot.h"

#include <array>
#include <cstdint>
#include <vector>

namespace lumaro::engine {

class Reverb final : public DspUnit {
public:
    Reverb();

    void prepare(double sampleRate, int channels) override;
    void process(float* interleaved, int frames) noexcept override;
    void reset() override;

    // Any thread. Returns false and changes nothing when a field lies outside
    // ReverbLimits or is NaN. Gains glide over kParameterRampSeconds; a new
    // reverb time or ratio changes how fast the tail decays from the next
    // block on, and the tail's level glides to match it.
    bool setParameters(const BASS_DX8_REVERB& params);
    // Any thread: the record as last set (ReverbLimits::kDefaults at first).
    BASS_DX8_REVERB parameters() const { return params_.load(); }

    static constexpr int kCombs = 8;
    static constexpr int kAllPasses = 4;

private:
    struct Comb {
        std::vector<float> line;
        size_t pos = 0;
        float feedback = 0.0f; // loop gain at DC
        float damp = 0.0f;     // pole of the loop's low-pass
        float store = 0.0f;    // low-pass memory
        float feedbackTarget = 0.0f, dampTarget = 0.0f, feedbackStep = 0.0f, dampStep = 0.0f;
    };
    struct AllPass {
        std::vector<float> line;
        size_t pos = 0;
    };
    struct Tank {
        std::array<Comb, kCombs> combs;
        std::array<AllPass, kAllPasses> allPasses;
    };

    void clearTank() noexcept;
    // glide: samples over which the tail's level moves to the new shape's
    void applyShape(const BASS_DX8_REVERB& p, int glide) noexcept;
    void stepShape() noexcept;
    float runTank(Tank& tank, float input) noexcept;

    ParamSlot<BASS_DX8_REVERB> params_;
    // Audio thread (and prepare/reset) only:
    double sampleRate_ = 44100.0;
    int channels_ = 2;
    uint32_t seenStamp_ = 0;
    float appliedTime_ = -1.0f, appliedRatio_ = -1.0f;

    bool tankEmpty_ = true;               // the delay lines hold only zeros
    bool fresh_ = true;                   // no sound since prepare/reset: a new setting applies at once
    LinearRamp inGain_, mix_, tailScale_; // linear gains; tailScale_ acts at the tank's input
    int shapeLeft_ = 0;                   // samples until the combs reach their new feedback and damping
    int rampSamples_ = 882;
    std::array<Tank, 2> tanks_;
};

} // namespace lumaro::engine
