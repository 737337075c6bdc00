#pragma once
// Test signals and measurements for the DSP blocks.

#include "engine/dsp/dsp_unit.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace lumaro::engine::test {

constexpr double kRate = 44100.0;

// Interleaved sine of `frames` frames, the same on every channel.
inline std::vector<float> Sine(double hz, double amplitude, int frames, int channels = 2) {
    std::vector<float> s(static_cast<size_t>(frames) * channels);
    for (int i = 0; i < frames; ++i)
        for (int ch = 0; ch < channels; ++ch)
            s[static_cast<size_t>(i) * channels + ch] =
                static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * hz * i / kRate));
    return s;
}

inline std::vector<float> Noise(double amplitude, int frames, int channels = 2, unsigned seed = 7) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> d(static_cast<float>(-amplitude), static_cast<float>(amplitude));
    std::vector<float> s(static_cast<size_t>(frames) * channels);
    for (float& x : s)
        x = d(rng);
    return s;
}

// Runs the unit over the whole buffer in blocks of `block` frames, as the mixer does.
inline void RunBlocks(DspUnit& unit, std::vector<float>& buffer, int channels = 2, int block = 512) {
    const int frames = static_cast<int>(buffer.size()) / channels;
    for (int at = 0; at < frames; at += block)
        unit.process(buffer.data() + static_cast<size_t>(at) * channels, std::min(block, frames - at));
}

// Runs the unit over frames [0, split), calls `change`, then runs the rest:
// a knob turned between two blocks while the sound plays.
template <class Change>
void RunWithChange(DspUnit& unit, std::vector<float>& buffer, int split, Change change, int block = 512,
                   int channels = 2) {
    std::vector<float> first(buffer.begin(), buffer.begin() + static_cast<ptrdiff_t>(split) * channels);
    std::vector<float> second(buffer.begin() + static_cast<ptrdiff_t>(split) * channels, buffer.end());
    RunBlocks(unit, first, channels, block);
    change();
    RunBlocks(unit, second, channels, block);
    std::copy(first.begin(), first.end(), buffer.begin());
    std::copy(second.begin(), second.end(), buffer.begin() + static_cast<ptrdiff_t>(split) * channels);
}

// RMS of one channel over frames [from, to).
inline double Rms(const std::vector<float>& s, int channels, int channel, int from, int to) {
    double sum = 0.0;
    for (int i = from; i < to; ++i) {
        const double x = s[static_cast<size_t>(i) * channels + channel];
        sum += x * x;
    }
    return std::sqrt(sum / std::max(1, to - from));
}

inline double Db(double ratio) {
    return 20.0 * std::log10(ratio);
}

// Largest jump between neighbouring samples of one channel over frames [from, to).
inline double MaxStep(const std::vector<float>& s, int channels, int channel, int from, int to) {
    double m = 0.0;
    for (int i = std::max(1, from); i < to; ++i)
        m = std::max(m, std::fabs(static_cast<double>(s[static_cast<size_t>(i) * channels + channel]) -
                                  s[static_cast<size_t>(i - 1) * channels + channel]));
    return m;
}

} // namespace lumaro::engine::test
