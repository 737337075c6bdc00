#include "engine/dsp/dsp_chain.h"
#include "engine/dsp/gain_pan.h"
#include "engine/dsp/parametric_equalizer.h"
#include "engine/dsp/reverb.h"
#include "signal_util.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

using namespace lumaro::engine;
using namespace lumaro::engine::test;

namespace {

// Writes its letter into the first sample slot still 0, so the block shows
// the order the units ran in.
class MarkUnit final : public DspUnit {
public:
    explicit MarkUnit(char letter) : letter_(letter) {}
    void prepare(double sampleRate, int channels) override {
        preparedRate = sampleRate;
        preparedChannels = channels;
    }
    void process(float* interleaved, int) noexcept override {
        int i = 0;
        while (interleaved[i] != 0.0f)
            ++i;
        interleaved[i] = letter_;
    }
    void reset() override {}
    double preparedRate = 0;
    int preparedChannels = 0;

private:
    char letter_;
};

std::string Order(DspChain& chain) {
    std::vector<float> block(32, 0.0f);
    chain.process(block.data(), 16);
    std::string s;
    for (float x : block)
        if (x != 0.0f) s += static_cast<char>(x);
    return s;
}

TEST(DspChainTest, HigherPriorityFirstThenOrderOfAdding) {
    DspChain chain;
    chain.prepare(kRate, 2);
    chain.add(std::make_shared<MarkUnit>('A'), 1);
    const DspChain::Id b = chain.add(std::make_shared<MarkUnit>('B'), 1);
    chain.add(std::make_shared<MarkUnit>('m'), 0);
    chain.add(std::make_shared<MarkUnit>('H'), 2);
    chain.add(std::make_shared<MarkUnit>('C'), 1);
    chain.add(std::make_shared<MarkUnit>('n'), -1);
    EXPECT_EQ(Order(chain), "HABCmn");
    EXPECT_TRUE(chain.remove(b));
    EXPECT_FALSE(chain.remove(b));
    EXPECT_EQ(Order(chain), "HACmn");
    chain.clear();
    EXPECT_EQ(Order(chain), "");
}

TEST(DspChainTest, UnitsArePreparedForTheChainsFormat) {
    DspChain chain;
    auto early = std::make_shared<MarkUnit>('e');
    chain.add(early, 0);
    chain.prepare(48000.0, 1);
    EXPECT_EQ(early->preparedRate, 48000.0);
    auto late = std::make_shared<MarkUnit>('l');
    const DspChain::Id id = chain.add(late, 0);
    EXPECT_EQ(late->preparedChannels, 1);
    EXPECT_EQ(chain.find(id), late);
    EXPECT_EQ(chain.find(id + 100), nullptr);
    EXPECT_EQ(chain.add(nullptr, 0), 0u);
}

// Counts its blocks; a block run after the unit was destroyed is a fault that
// AddressSanitizer reports.
class CountUnit final : public DspUnit {
public:
    explicit CountUnit(std::atomic<long>& blocks) : blocks_(blocks) {}
    void prepare(double, int) override {}
    void process(float* interleaved, int frames) noexcept override {
        blocks_.fetch_add(1, std::memory_order_relaxed);
        for (int i = 0; i < frames * 2; ++i)
            interleaved[i] += scratch_[static_cast<size_t>(i) % scratch_.size()];
    }
    void reset() override {}

private:
    std::atomic<long>& blocks_;
    std::vector<float> scratch_ = std::vector<float>(64, 0.0f);
};

// Another thread adds and removes units and turns every knob while the audio
// thread runs blocks: the audio thread never stalls on it, runs no freed unit,
// and ends on the last settings.
TEST(DspChainTest, MutationsAndSettersFromAnotherThreadWhileProcessing) {
    DspChain chain;
    chain.prepare(kRate, 2);
    auto eq = std::make_shared<ParametricEqualizer>();
    auto reverb = std::make_shared<Reverb>();
    auto gainPan = std::make_shared<GainPan>();
    chain.add(eq, 1);
    chain.add(reverb, 1);
    chain.add(gainPan, 0);
    std::atomic<long> blocks{0};
    std::atomic<bool> done{false};

    std::thread knobs([&] {
        for (int i = 0; !done.load(); ++i) {
            const auto id = chain.add(std::make_shared<CountUnit>(blocks), i % 3 - 1);
            eq->setParameters({125.0f + static_cast<float>(i % 100), 18, static_cast<float>(i % 21 - 10)});
            reverb->setParameters({0, static_cast<float>(-(i % 97)), 1200, 0.1f});
            gainPan->setVolume(static_cast<float>(i % 101) / 100.0f);
            gainPan->setPan(static_cast<float>(i % 201 - 100) / 100.0f);
            chain.remove(id);
        }
        eq->setParameters({1000, 18, 10});
        reverb->setParameters({0, -96, 1200, 0.1f});
        gainPan->setVolume(0.5f);
        gainPan->setPan(0.0f);
    });
    std::vector<float> block = Noise(0.3, 256);
    for (int i = 0; i < 3000; ++i) {
        std::vector<float> copy = block;
        chain.process(copy.data(), 256);
        for (float x : copy)
            ASSERT_TRUE(std::isfinite(x));
    }
    done = true;
    knobs.join();

    std::vector<float> tone = Sine(1000, 0.1, 22050);
    std::vector<float> out = tone;
    for (int at = 0; at < 22050; at += 512)
        chain.process(out.data() + at * 2, std::min(512, 22050 - at));
    EXPECT_NEAR(Db(Rms(out, 2, 0, 11025, 22050) / Rms(tone, 2, 0, 11025, 22050)), 10.0 + Db(0.5), 0.3);
}

} // namespace
