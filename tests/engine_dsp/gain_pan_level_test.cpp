#include "engine/dsp/gain_pan.h"
#include "engine/dsp/level_meter.h"
#include "signal_util.h"

#include <gtest/gtest.h>

#include <limits>

using namespace lumaro::engine;
using namespace lumaro::engine::test;

namespace {

struct GainPanCase {
    const char* name;
    int channels;
    float volume, pan;
    float left, right; // gains expected on a constant signal once the glide is over
};

// Test names show the case's name rather than its bytes.
void PrintTo(const GainPanCase& c, std::ostream* os) {
    *os << c.name;
}

class GainPanTest : public ::testing::TestWithParam<GainPanCase> {};

TEST_P(GainPanTest, Gains) {
    const GainPanCase& c = GetParam();
    GainPan gp;
    gp.prepare(kRate, c.channels);
    ASSERT_TRUE(gp.setVolume(c.volume));
    ASSERT_TRUE(gp.setPan(c.pan));
    std::vector<float> buffer(static_cast<size_t>(4410) * c.channels, 1.0f);
    RunBlocks(gp, buffer, c.channels);
    gp.setVolume(c.volume); // unchanged: no new glide
    std::vector<float> later(static_cast<size_t>(2000) * c.channels, 1.0f);
    RunBlocks(gp, later, c.channels);
    for (int i = 0; i < 2000; ++i) {
        const float* frame = later.data() + static_cast<size_t>(i) * c.channels;
        ASSERT_FLOAT_EQ(frame[0], c.left) << i;
        if (c.channels >= 2) {
            ASSERT_FLOAT_EQ(frame[1], c.right) << i;
        }
    }
}

// Pan is a balance: 0 keeps both sides, -1 keeps only the left; the far side
// falls linearly and the near side stays at the volume.
INSTANTIATE_TEST_SUITE_P(Cases, GainPanTest,
                         ::testing::Values(GainPanCase{"unity", 2, 1.0f, 0.0f, 1.0f, 1.0f},
                                           GainPanCase{"half_volume", 2, 0.5f, 0.0f, 0.5f, 0.5f},
                                           GainPanCase{"silent", 2, 0.0f, 0.0f, 0.0f, 0.0f},
                                           GainPanCase{"hard_left", 2, 1.0f, -1.0f, 1.0f, 0.0f},
                                           GainPanCase{"hard_right", 2, 1.0f, 1.0f, 0.0f, 1.0f},
                                           GainPanCase{"half_left", 2, 1.0f, -0.5f, 1.0f, 0.5f},
                                           GainPanCase{"volume_and_pan", 2, 0.8f, 0.25f, 0.6f, 0.8f},
                                           GainPanCase{"clamped_above", 2, 3.0f, 2.0f, 0.0f, 1.0f},
                                           GainPanCase{"clamped_below", 2, -1.0f, -3.0f, 0.0f, 0.0f},
                                           GainPanCase{"mono_ignores_pan", 1, 0.5f, -1.0f, 0.5f, 0.5f}),
                         [](const auto& info) { return info.param.name; });

TEST(GainPanTest, RefusesNaN) {
    GainPan gp;
    ASSERT_TRUE(gp.setVolume(0.3f));
    ASSERT_TRUE(gp.setPan(0.2f));
    EXPECT_FALSE(gp.setVolume(std::numeric_limits<float>::quiet_NaN()));
    EXPECT_FALSE(gp.setPan(std::numeric_limits<float>::quiet_NaN()));
    EXPECT_EQ(gp.volume(), 0.3f);
    EXPECT_EQ(gp.pan(), 0.2f);
}

// Muting a full-scale constant signal is the worst case for a click: the
// samples fall in a glide of kParameterRampSeconds, whatever the block size.
class GainPanGlideTest : public ::testing::TestWithParam<int> {};

TEST_P(GainPanGlideTest, StepsGlide) {
    const int block = GetParam();
    GainPan gp;
    gp.prepare(kRate, 2);
    std::vector<float> before(8820, 1.0f), after(8820, 1.0f), back(8820, 1.0f);
    RunBlocks(gp, before, 2, block);
    gp.setVolume(0.0f);
    RunBlocks(gp, after, 2, block);
    gp.setVolume(1.0f);
    gp.setPan(-1.0f);
    RunBlocks(gp, back, 2, block);
    std::vector<float> all = before;
    all.insert(all.end(), after.begin(), after.end());
    all.insert(all.end(), back.begin(), back.end());
    const double bound = 1.01 / (kRate * kParameterRampSeconds);
    EXPECT_LT(MaxStep(all, 2, 0, 0, 13230), bound);
    EXPECT_LT(MaxStep(all, 2, 1, 0, 13230), bound);
    EXPECT_EQ(after[8819], 0.0f);
    EXPECT_EQ(back[8818], 1.0f);
    EXPECT_EQ(back[8819], 0.0f);
}

INSTANTIATE_TEST_SUITE_P(BlockSizes, GainPanGlideTest, ::testing::Values(1, 64, 1024, 8192));

// Left and right peaks in a stereo pair from a level() value.
std::pair<uint32_t, uint32_t> Split(uint32_t level) {
    return {level & 0xFFFF, level >> 16};
}

TEST(LevelMeterTest, ReportsPeaksOfAKnownTone) {
    LevelMeter meter;
    meter.prepare(kRate, 2);
    EXPECT_EQ(meter.level(), 0u);
    std::vector<float> tone = Sine(1000, 0.5, 4410);
    for (size_t i = 1; i < tone.size(); i += 2)
        tone[i] *= 0.25f; // right at 1/8 full scale
    RunBlocks(meter, tone);
    const auto [left, right] = Split(meter.level());
    EXPECT_NEAR(left, 16384, 20);
    EXPECT_NEAR(right, 4096, 10);
}

TEST(LevelMeterTest, FullScaleAndBeyondRead32768) {
    LevelMeter meter;
    meter.prepare(kRate, 2);
    std::vector<float> loud(2000, 1.7f);
    for (size_t i = 1; i < loud.size(); i += 2)
        loud[i] = -1.0f;
    RunBlocks(meter, loud);
    EXPECT_EQ(meter.level(), 32768u | (32768u << 16));
}

TEST(LevelMeterTest, MonoReportsBothSides) {
    LevelMeter meter;
    meter.prepare(kRate, 1);
    std::vector<float> tone = Sine(440, 0.25, 4410, 1);
    RunBlocks(meter, tone, 1);
    const auto [left, right] = Split(meter.level());
    EXPECT_NEAR(left, 8192, 10);
    EXPECT_EQ(left, right);
}

// The level covers about the last 20 ms: a peak 10 ms ago still shows, one
// 30 ms ago no longer does, wherever the block boundaries fall.
struct WindowCase {
    const char* name;
    int silentMs; // silence after a loud click
    bool stillShown;
    int block;
};

// Test names show the case's name rather than its bytes.
void PrintTo(const WindowCase& c, std::ostream* os) {
    *os << c.name;
}

class LevelWindowTest : public ::testing::TestWithParam<WindowCase> {};

TEST_P(LevelWindowTest, PeakAges) {
    const WindowCase& c = GetParam();
    LevelMeter meter;
    meter.prepare(kRate, 2);
    std::vector<float> signal = Sine(200, 0.1, 4410);
    signal[4000] = signal[4001] = 0.9f; // the click, in the last frame kept
    std::vector<float> silence(static_cast<size_t>(kRate * c.silentMs / 1000) * 2, 0.0f);
    signal.resize(4002);
    signal.insert(signal.end(), silence.begin(), silence.end());
    RunBlocks(meter, signal, 2, c.block);
    const auto [left, right] = Split(meter.level());
    if (c.stillShown) {
        EXPECT_NEAR(left, 0.9 * 32768, 2);
    } else {
        EXPECT_EQ(left, 0u);
        EXPECT_EQ(right, 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, LevelWindowTest,
                         ::testing::Values(WindowCase{"ten_ms_small_blocks", 10, true, 64},
                                           WindowCase{"ten_ms_one_block", 10, true, 100000},
                                           WindowCase{"thirty_ms_small_blocks", 30, false, 64},
                                           WindowCase{"thirty_ms_one_block", 30, false, 100000},
                                           WindowCase{"thirty_ms_frame_by_frame", 30, false, 1}),
                         [](const auto& info) { return info.param.name; });

TEST(LevelMeterTest, ResetClearsTheLevel) {
    LevelMeter meter;
    meter.prepare(kRate, 2);
    std::vector<float> tone = Sine(1000, 0.5, 4410);
    RunBlocks(meter, tone);
    ASSERT_NE(meter.level(), 0u);
    meter.reset();
    EXPECT_EQ(meter.level(), 0u);
}

} // namespace
