#pragma once
// Peak level of the most recent ~20 ms of a channel's output, for the
// engine's level call. Fed (read-only) with the channel's processed blocks.

#include "engine/dsp/dsp_unit.h"

#include <array>
#include <atomic>
#include <cstdint>

namespace lumaro::engine {

class LevelMeter final : public DspUnit {
public:
    static constexpr double kWindowSeconds = 0.02;

    void prepare(double sampleRate, int channels) override;
    // Output thread: measures, never changes the samples.
    void process(float* interleaved, int frames) noexcept override;
    // Also sets the level to 0.
    void reset() override;

    // Any thread, lock-free: left peak in the low 16 bits, right in the high
    // 16 bits, each 0 .. 32768 (full scale; louder samples read 32768). A mono
    // channel reports its peak on both sides; with more than two channels the
    // first two count. 0 before the first block and after reset().
    uint32_t level() const noexcept { return level_.load(std::memory_order_relaxed); }

    static uint32_t pack(float leftPeak, float rightPeak) noexcept;

private:
    // The window is kept as kSlices slices; the level is the peak of the
    // last kSlices whole slices and the slice in progress.
    static constexpr int kSlices = 4;
    std::atomic<uint32_t> level_{0};
    // Audio thread (and prepare/reset) only:
    int channels_ = 2;
    int sliceFrames_ = 220;
    int sliceFill_ = 0;
    std::array<float, 2> slicePeak_{};
    std::array<std::array<float, 2>, kSlices> history_{};
    int historyPos_ = 0;
};

} // namespace lumaro::engine
