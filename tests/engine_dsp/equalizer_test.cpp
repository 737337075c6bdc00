#include "engine/dsp/parametric_equalizer.h"
#include "signal_util.h"

#include <gtest/gtest.h>

#include <limits>

using namespace lumaro::engine;
using namespace lumaro::engine::test;

namespace {

// Gain in dB that a band with these settings gives a steady sine at `hz`,
// measured on both channels of a stereo stream after the filter settled.
std::pair<double, double> MeasuredGainDb(const BASS_DX8_PARAMEQ& p, double hz) {
    ParametricEqualizer eq;
    EXPECT_TRUE(eq.setParameters(p));
    eq.prepare(kRate, 2);
    const int frames = static_cast<int>(kRate * 0.6);
    const std::vector<float> in = Sine(hz, 0.25, frames);
    std::vector<float> out = in;
    RunBlocks(eq, out);
    const int from = static_cast<int>(kRate * 0.3);
    return {Db(Rms(out, 2, 0, from, frames) / Rms(in, 2, 0, from, frames)),
            Db(Rms(out, 2, 1, from, frames) / Rms(in, 2, 1, from, frames))};
}

struct BandCase {
    const char* name;
    BASS_DX8_PARAMEQ params;
    double probeHz;
    double expectDb;
    double toleranceDb;
};

// Test names show the case's name rather than its bytes.
void PrintTo(const BandCase& c, std::ostream* os) {
    *os << c.name;
}

class EqualizerBandTest : public ::testing::TestWithParam<BandCase> {};

TEST_P(EqualizerBandTest, GainAtProbe) {
    const BandCase& c = GetParam();
    const auto [left, right] = MeasuredGainDb(c.params, c.probeHz);
    EXPECT_NEAR(left, c.expectDb, c.toleranceDb);
    EXPECT_NEAR(right, c.expectDb, c.toleranceDb);
}

// The player's three bands are 18 semitones wide at 125 Hz, 1 kHz and 8 kHz
// with gains of -10 .. +10 dB; the record allows up to +-15 dB.
INSTANTIATE_TEST_SUITE_P(
    Cases, EqualizerBandTest,
    ::testing::Values(BandCase{"bass_plus1", {125, 18, 1}, 125, 1, 0.3},
                      BandCase{"bass_minus1", {125, 18, -1}, 125, -1, 0.3},
                      BandCase{"bass_minus10", {125, 18, -10}, 125, -10, 0.3},
                      BandCase{"middle_plus10", {1000, 18, 10}, 1000, 10, 0.3},
                      BandCase{"middle_minus3", {1000, 18, -3}, 1000, -3, 0.3},
                      BandCase{"treble_plus3", {8000, 18, 3}, 8000, 3, 0.3},
                      BandCase{"treble_minus10", {8000, 18, -10}, 8000, -10, 0.3},
                      BandCase{"record_max", {1000, 12, 15}, 1000, 15, 0.3},
                      BandCase{"record_min", {1000, 12, -15}, 1000, -15, 0.3},
                      BandCase{"flat", {1000, 18, 0}, 1000, 0, 0.01},
                      // narrow bands leave frequencies two octaves away alone
                      BandCase{"narrow_below", {1000, 2, 10}, 250, 0, 0.5},
                      BandCase{"narrow_above", {1000, 2, -10}, 4000, 0, 0.5},
                      BandCase{"narrow_bass_at_treble", {125, 3, 10}, 8000, 0, 0.5},
                      // bandwidth is in semitones: the half-gain points of a 12-semitone
                      // band lie half an octave either side of the centre
                      BandCase{"octave_band_edge", {1000, 12, 12}, 1000 * 1.41421356, 6, 0.5}),
    [](const auto& info) { return info.param.name; });

TEST(EqualizerTest, RefusesRecordsOutsideItsRange) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const BASS_DX8_PARAMEQ good{1000, 18, 3};
    for (const BASS_DX8_PARAMEQ bad :
         {BASS_DX8_PARAMEQ{1000, 18, -20}, BASS_DX8_PARAMEQ{1000, 18, 16}, BASS_DX8_PARAMEQ{50, 18, 0},
          BASS_DX8_PARAMEQ{20000, 18, 0}, BASS_DX8_PARAMEQ{1000, 0.5f, 0}, BASS_DX8_PARAMEQ{1000, 40, 0},
          BASS_DX8_PARAMEQ{nan, 18, 0}, BASS_DX8_PARAMEQ{1000, 18, nan}}) {
        ParametricEqualizer eq;
        ASSERT_TRUE(eq.setParameters(good));
        EXPECT_FALSE(eq.setParameters(bad)) << bad.fCenter << " " << bad.fBandwidth << " " << bad.fGain;
        const BASS_DX8_PARAMEQ kept = eq.parameters();
        EXPECT_EQ(kept.fCenter, good.fCenter);
        EXPECT_EQ(kept.fBandwidth, good.fBandwidth);
        EXPECT_EQ(kept.fGain, good.fGain);
    }
}

// At 22.05 kHz a 16 kHz centre lies above Nyquist: the band is filtered just
// below it and stays stable.
TEST(EqualizerTest, CentreAboveNyquistStaysStable) {
    ParametricEqualizer eq;
    ASSERT_TRUE(eq.setParameters({16000, 12, 15}));
    eq.prepare(22050.0, 2);
    std::vector<float> buffer = Sine(500, 0.5, 22050);
    RunBlocks(eq, buffer);
    for (float x : buffer)
        ASSERT_LT(std::fabs(x), 1.0f);
    EXPECT_NEAR(Db(Rms(buffer, 2, 0, 11025, 22050) / (0.5 / std::sqrt(2.0))), 0.0, 0.5);
}

TEST(EqualizerTest, ChannelsAreFilteredApart) {
    ParametricEqualizer eq;
    ASSERT_TRUE(eq.setParameters({1000, 18, 10}));
    eq.prepare(kRate, 2);
    std::vector<float> buffer = Sine(1000, 0.5, 8192);
    for (size_t i = 0; i < buffer.size(); i += 2)
        buffer[i] = 0.0f; // left silent
    RunBlocks(eq, buffer);
    EXPECT_EQ(Rms(buffer, 2, 0, 0, 8192), 0.0);
    EXPECT_GT(Rms(buffer, 2, 1, 4096, 8192), 0.5);
}

// A knob turned while a tone plays glides: no neighbouring samples jump
// further apart than the tone itself does at the band's largest boost, and
// the new setting is reached within the glide. Moving a narrow band's centre
// away from the tone at once would click.
struct GlideCase {
    const char* name;
    BASS_DX8_PARAMEQ from, to;
    double toneHz;
    double settledDb; // the tone's gain once the glide is over
};

// Test names show the case's name rather than its bytes.
void PrintTo(const GlideCase& c, std::ostream* os) {
    *os << c.name;
}

class EqualizerGlideTest : public ::testing::TestWithParam<std::tuple<GlideCase, int>> {};

TEST_P(EqualizerGlideTest, ChangeDoesNotClick) {
    const auto& [c, block] = GetParam();
    ParametricEqualizer eq;
    ASSERT_TRUE(eq.setParameters(c.from));
    eq.prepare(kRate, 2);
    const int half = 22061; // the change falls where the tone is not near 0
    const double amplitude = 0.1;
    std::vector<float> buffer = Sine(c.toneHz, amplitude, 2 * half);
    RunWithChange(
        eq, buffer, half, [&] { ASSERT_TRUE(eq.setParameters(c.to)); }, block);

    const double loudestStep =
        amplitude * std::pow(10.0, 15.0 / 20.0) * 2.0 * std::numbers::pi * c.toneHz / kRate;
    EXPECT_LT(MaxStep(buffer, 2, 0, half - 100, half + 2000), 1.05 * loudestStep);
    EXPECT_LT(MaxStep(buffer, 2, 1, half - 100, half + 2000), 1.05 * loudestStep);
    const double settledDb =
        Db(Rms(buffer, 2, 0, half + 2205, 2 * half) / Rms(Sine(c.toneHz, amplitude, 4410), 2, 0, 0, 4410));
    EXPECT_NEAR(settledDb, c.settledDb, 0.3);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EqualizerGlideTest,
    ::testing::Combine(::testing::Values(GlideCase{"boost", {1000, 18, -15}, {1000, 18, 15}, 1000, 15},
                                         GlideCase{"cut", {1000, 18, 15}, {1000, 18, -15}, 1000, -15},
                                         GlideCase{"centre_moves_away", {125, 3, 15}, {8000, 3, 15}, 150, 0}),
                       ::testing::Values(1, 100, 512, 4096)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + "_block" + std::to_string(std::get<1>(info.param));
    });

} // namespace
