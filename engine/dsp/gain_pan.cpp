#include "engine/dsp/gain_pan.h"

#include <algorithm>
#include <cmath>

namespace lumaro::engine {

bool GainPan::setVolume(float volume) {
    if (std::isnan(volume)) return false;
    volume_.store(std::clamp(volume, 0.0f, 1.0f), std::memory_order_relaxed);
    return true;
}

bool GainPan::setPan(float pan) {
    if (std::isnan(pan)) return false;
    pan_.store(std::clamp(pan, -1.0f, 1.0f), std::memory_order_relaxed);
    return true;
}

void GainPan::prepare(double sampleRate, int channels) {
    channels_ = std::max(1, channels);
    rampSamples_ = std::max(1, static_cast<int>(std::lround(sampleRate * kParameterRampSeconds)));
    reset();
}

void GainPan::reset() {
    fresh_ = true;
}

void GainPan::process(float* interleaved, int frames) noexcept {
    const float volume = volume_.load(std::memory_order_relaxed);
    const float pan = channels_ >= 2 ? pan_.load(std::memory_order_relaxed) : 0.0f;
    const float left = volume * std::min(1.0f, 1.0f - pan);
    const float right = volume * std::min(1.0f, 1.0f + pan);
    for (auto [ramp, target] : {std::pair{&leftGain_, left}, std::pair{&rightGain_, right}}) {
        if (fresh_) {
            *ramp = Ramp{target, target, 0.0f, 0};
        } else if (target != ramp->target) {
            ramp->target = target;
            ramp->left = rampSamples_;
            ramp->step = (target - ramp->current) / static_cast<float>(rampSamples_);
        }
    }
    fresh_ = false;

    const auto next = [](Ramp& r) {
        if (r.left > 0) r.current = --r.left == 0 ? r.target : r.current + r.step;
        return r.current;
    };
    if (channels_ == 1) {
        for (int i = 0; i < frames; ++i)
            interleaved[i] *= next(leftGain_);
        return;
    }
    if (leftGain_.left == 0 && rightGain_.left == 0 && leftGain_.current == 1.0f &&
        rightGain_.current == 1.0f)
        return;
    for (int i = 0; i < frames; ++i) {
        float* frame = interleaved + static_cast<size_t>(i) * channels_;
        const float l = next(leftGain_), r = next(rightGain_);
        frame[0] *= l;
        frame[1] *= r;
        // channels beyond the pair follow the volume alone
        for (int ch = 2; ch < channels_; ++ch)
            frame[ch] *= std::max(l, r);
    }
}

} // namespace lumaro::engine
