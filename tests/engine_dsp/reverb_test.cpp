#include "engine/dsp/reverb.h"
#include "signal_util.h"

#include <gtest/gtest.h>

#include <limits>

using namespace lumaro::engine;
using namespace lumaro::engine::test;

namespace {

constexpr int kMs = 44; // frames per millisecond, near enough for window positions

// A burst of `burst` then silence, through a reverb with these settings.
std::vector<float> Reverberate(const BASS_DX8_REVERB& p, std::vector<float> burst, int totalFrames,
                               int channels = 2) {
    Reverb reverb;
    reverb.prepare(kRate, channels);
    EXPECT_TRUE(reverb.setParameters(p)); // before the first block: applies without a glide
    burst.resize(static_cast<size_t>(totalFrames) * channels, 0.0f);
    RunBlocks(reverb, burst, channels);
    return burst;
}

struct DecayCase {
    const char* name;
    float reverbTime; // ms
    int channels;
};

// Test names show the case's name rather than its bytes.
void PrintTo(const DecayCase& c, std::ostream* os) {
    *os << c.name;
}

class ReverbDecayTest : public ::testing::TestWithParam<DecayCase> {};

// After a burst ends the tail carries on and falls by 60 dB per reverb time.
TEST_P(ReverbDecayTest, TailFallsAtTheReverbTime) {
    const DecayCase& c = GetParam();
    const int burstFrames = 50 * kMs;
    const std::vector<float> burst = Noise(0.5, burstFrames, c.channels);
    const int t1 = burstFrames + 100 * kMs;
    const int t2 = t1 + static_cast<int>(c.reverbTime / 3 * kMs); // 20 dB further down
    const int window = 40 * kMs;
    const auto out = Reverberate({0, 0, c.reverbTime, 0.999f}, burst, t2 + window, c.channels);
    for (int ch = 0; ch < c.channels; ++ch) {
        const double level = Rms(burst, c.channels, ch, 0, burstFrames);
        const double early = Rms(out, c.channels, ch, t1, t1 + window);
        const double late = Rms(out, c.channels, ch, t2, t2 + window);
        EXPECT_GT(Db(early / level), -30.0) << "channel " << ch; // a clear tail
        EXPECT_NEAR(Db(early / late), 20.0, 5.0) << "channel " << ch;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ReverbDecayTest,
                         ::testing::Values(DecayCase{"short_stereo", 300, 2},
                                           DecayCase{"player_stereo", 1200, 2},
                                           DecayCase{"long_stereo", 2500, 2}, DecayCase{"mono", 1200, 1}),
                         [](const auto& info) { return info.param.name; });

// A mix of -96 dB is no reverb at all: the output is the input scaled by the
// input gain, and silence follows the burst.
class ReverbDryTest : public ::testing::TestWithParam<float> {};

TEST_P(ReverbDryTest, MixAtMinus96IsDry) {
    const float inGain = GetParam();
    const int burstFrames = 4410;
    const std::vector<float> burst = Noise(0.5, burstFrames);
    const auto out = Reverberate({inGain, -96, 1200, 0.1f}, burst, 3 * burstFrames);
    const float g = inGain <= -96.0f ? 0.0f : std::pow(10.0f, inGain / 20.0f); // -96 dB is silence
    for (size_t i = 0; i < out.size(); ++i) {
        const float expected = i < burst.size() ? g * burst[i] : 0.0f;
        ASSERT_NEAR(out[i], expected, 1e-6f) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(InGains, ReverbDryTest, ::testing::Values(0.0f, -6.0f, -96.0f));

// The mix sets the tail's level in dB against the dry signal: at 0 dB a
// steady noise's tail carries about the noise's own power.
class ReverbMixTest : public ::testing::TestWithParam<float> {};

TEST_P(ReverbMixTest, TailLevelFollowsTheMix) {
    const float mix = GetParam();
    Reverb reverb;
    ASSERT_TRUE(reverb.setParameters({0, mix, 1200, 0.999f}));
    reverb.prepare(kRate, 2);
    const std::vector<float> in = Noise(0.3, 3 * 44100);
    std::vector<float> out = in;
    RunBlocks(reverb, out);
    std::vector<float> tail(out.size());
    for (size_t i = 0; i < out.size(); ++i)
        tail[i] = out[i] - in[i];
    for (int ch = 0; ch < 2; ++ch)
        EXPECT_NEAR(Db(Rms(tail, 2, ch, 44100, 3 * 44100) / Rms(in, 2, ch, 44100, 3 * 44100)), mix, 1.5);
}

INSTANTIATE_TEST_SUITE_P(Mixes, ReverbMixTest, ::testing::Values(0.0f, -10.0f, -30.0f));

// High frequencies die sooner with a small ratio.
TEST(ReverbTest, HighFrequencyRatioShortensTheHighTail) {
    const int burstFrames = 50 * kMs;
    const std::vector<float> burst = Sine(6000, 0.5, burstFrames);
    const int t = burstFrames + 300 * kMs, window = 40 * kMs;
    const auto dull = Reverberate({0, 0, 1200, 0.1f}, burst, t + window);
    const auto bright = Reverberate({0, 0, 1200, 0.999f}, burst, t + window);
    EXPECT_GT(Db(Rms(bright, 2, 0, t, t + window) / Rms(dull, 2, 0, t, t + window)), 15.0);
}

// Knobs turned while a tone plays glide: after the change no neighbouring
// samples jump much further apart than they do in the steady sound before or
// after it. A new reverb time changed at once would step each comb's output
// when its line turns over (25 to 37 ms later), so those cases look further.
// Gain changes look only until the first echo, which carries the tail of what
// was playing.
struct ReverbChangeCase {
    const char* name;
    BASS_DX8_REVERB from, to;
    int window; // frames after the change that are checked
};

// Test names show the case's name rather than its bytes.
void PrintTo(const ReverbChangeCase& c, std::ostream* os) {
    *os << c.name;
}

class ReverbChangeTest : public ::testing::TestWithParam<ReverbChangeCase> {};

TEST_P(ReverbChangeTest, DoesNotClick) {
    const ReverbChangeCase& c = GetParam();
    Reverb reverb;
    reverb.prepare(kRate, 2);
    ASSERT_TRUE(reverb.setParameters(c.from));
    const int split = 44111; // the change falls where the tone is not near 0
    std::vector<float> all = Sine(500, 0.5, 2 * split);
    RunWithChange(reverb, all, split, [&] { ASSERT_TRUE(reverb.setParameters(c.to)); });
    const double steady =
        std::max(MaxStep(all, 2, 0, split - 22050, split), MaxStep(all, 2, 0, split + 22050, 2 * split));
    EXPECT_LT(MaxStep(all, 2, 0, split - 100, split + c.window), 1.25 * steady);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReverbChangeTest,
    ::testing::Values(ReverbChangeCase{"gain_down_mix_up", {0, -96, 1200, 0.1f}, {-30, 0, 1200, 0.1f}, 1000},
                      ReverbChangeCase{"mix_down", {0, 0, 1200, 0.1f}, {0, -96, 1200, 0.1f}, 1000},
                      ReverbChangeCase{"time_shorter", {0, 0, 3000, 0.999f}, {0, 0, 20, 0.999f}, 4410},
                      ReverbChangeCase{"time_longer", {0, 0, 20, 0.999f}, {0, 0, 3000, 0.999f}, 4410},
                      ReverbChangeCase{"duller", {0, 0, 1200, 0.999f}, {0, 0, 1200, 0.001f}, 4410}),
    [](const auto& info) { return info.param.name; });

TEST(ReverbTest, RefusesRecordsOutsideItsRange) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const BASS_DX8_REVERB good{-3, -10, 1200, 0.1f};
    for (const BASS_DX8_REVERB bad :
         {BASS_DX8_REVERB{1, -10, 1200, 0.1f}, BASS_DX8_REVERB{-97, -10, 1200, 0.1f},
          BASS_DX8_REVERB{-3, 0.5f, 1200, 0.1f}, BASS_DX8_REVERB{-3, -100, 1200, 0.1f},
          BASS_DX8_REVERB{-3, -10, 0, 0.1f}, BASS_DX8_REVERB{-3, -10, 3001, 0.1f},
          BASS_DX8_REVERB{-3, -10, 1200, 0}, BASS_DX8_REVERB{-3, -10, 1200, 1},
          BASS_DX8_REVERB{nan, -10, 1200, 0.1f}}) {
        Reverb reverb;
        ASSERT_TRUE(reverb.setParameters(good));
        EXPECT_FALSE(reverb.setParameters(bad))
            << bad.fInGain << " " << bad.fReverbMix << " " << bad.fReverbTime << " " << bad.fHighFreqRTRatio;
        const BASS_DX8_REVERB kept = reverb.parameters();
        EXPECT_EQ(kept.fInGain, good.fInGain);
        EXPECT_EQ(kept.fReverbMix, good.fReverbMix);
        EXPECT_EQ(kept.fReverbTime, good.fReverbTime);
        EXPECT_EQ(kept.fHighFreqRTRatio, good.fHighFreqRTRatio);
    }
}

} // namespace
