// CPU cost of a channel's whole effect chain as the player sets it up: three
// equaliser bands, the reverb, volume/pan and the level meter, on one second
// of 44.1 kHz stereo in mixer-sized blocks. One iteration is one second of
// sound, so its CPU time in ms divided by 10 is the share (%) of one core
// that playing with effects takes. The flat chain (bands at 0 dB, reverb
// mix -96 dB) is what a listener who touched no knob pays.
#include "engine/dsp/dsp_chain.h"
#include "engine/dsp/gain_pan.h"
#include "engine/dsp/level_meter.h"
#include "engine/dsp/parametric_equalizer.h"
#include "engine/dsp/reverb.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

using namespace lumaro::engine;

namespace {

constexpr int kRate = 44100;
constexpr int kBlock = 512;

void Chain(benchmark::State& state, bool effectsOn) {
    DspChain chain;
    chain.prepare(kRate, 2);
    const float eqGain = effectsOn ? 6.0f : 0.0f;
    for (float centre : {125.0f, 1000.0f, 8000.0f}) {
        auto band = std::make_shared<ParametricEqualizer>();
        band->setParameters({centre, 18.0f, eqGain});
        chain.add(band, 1);
    }
    auto reverb = std::make_shared<Reverb>();
    reverb->setParameters({0.0f, effectsOn ? -6.0f : -96.0f, 1200.0f, 0.1f});
    chain.add(reverb, 1);
    GainPan gainPan;
    gainPan.prepare(kRate, 2);
    gainPan.setVolume(0.8f);
    gainPan.setPan(effectsOn ? 0.3f : 0.0f);
    LevelMeter meter;
    meter.prepare(kRate, 2);

    std::mt19937 rng(1);
    std::uniform_real_distribution<float> noise(-0.3f, 0.3f);
    std::vector<float> second(static_cast<size_t>(kRate) * 2);
    for (float& x : second)
        x = noise(rng);
    std::vector<float> work(static_cast<size_t>(kBlock) * 2);

    for (auto _ : state) {
        for (int at = 0; at < kRate; at += kBlock) {
            const int frames = std::min(kBlock, kRate - at);
            std::copy_n(second.begin() + static_cast<ptrdiff_t>(at) * 2, frames * 2, work.begin());
            chain.process(work.data(), frames);
            gainPan.process(work.data(), frames);
            meter.process(work.data(), frames);
        }
        benchmark::DoNotOptimize(meter.level());
    }
    state.SetItemsProcessed(state.iterations() * kRate);
}

void BM_FullChainPerAudioSecond(benchmark::State& state) {
    Chain(state, true);
}
void BM_FlatChainPerAudioSecond(benchmark::State& state) {
    Chain(state, false);
}

} // namespace

BENCHMARK(BM_FullChainPerAudioSecond)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlatChainPerAudioSecond)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
