#include "engine/dsp/level_meter.h"

#include <algorithm>
#include <cmath>

namespace lumaro::engine {

uint32_t LevelMeter::pack(float leftPeak, float rightPeak) noexcept {
    const auto scale = [](float peak) {
        return static_cast<uint32_t>(std::lround(std::clamp(peak, 0.0f, 1.0f) * 32768.0f));
    };
    return scale(leftPeak) | (scale(rightPeak) << 16);
}

void LevelMeter::prepare(double sampleRate, int channels) {
    channels_ = std::max(1, channels);
    sliceFrames_ = std::max(1, static_cast<int>(std::lround(sampleRate * kWindowSeconds / kSlices)));
    reset();
}

void LevelMeter::reset() {
    sliceFill_ = 0;
    slicePeak_ = {};
    history_ = {};
    historyPos_ = 0;
    level_.store(0, std::memory_order_relaxed);
}

void LevelMeter::process(float* interleaved, int frames) noexcept {
    const int second = channels_ >= 2 ? 1 : 0;
    for (int i = 0; i < frames; ++i) {
        const float* frame = interleaved + static_cast<size_t>(i) * channels_;
        // fabs of NaN is NaN, which std::max ignores
        slicePeak_[0] = std::max(slicePeak_[0], std::fabs(frame[0]));
        slicePeak_[1] = std::max(slicePeak_[1], std::fabs(frame[second]));
        if (++sliceFill_ == sliceFrames_) {
            history_[static_cast<size_t>(historyPos_)] = slicePeak_;
            historyPos_ = (historyPos_ + 1) % kSlices;
            slicePeak_ = {};
            sliceFill_ = 0;
        }
    }
    std::array<float, 2> peak = slicePeak_;
    for (const auto& slice : history_) {
        peak[0] = std::max(peak[0], slice[0]);
        peak[1] = std::max(peak[1], slice[1]);
    }
    level_.store(pack(peak[0], peak[1]), std::memory_order_relaxed);
}

} // namespace lumaro::engine
