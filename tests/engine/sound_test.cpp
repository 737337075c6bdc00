// What the listener hears: the mixed output written by SDL's disk driver,
// measured per tone and channel. Each case plays a short generated MP3.
#include "tests/engine/engine_fixture.h"

#include <cmath>
#include <thread>

namespace lumaro::engine::test {
namespace {

using namespace std::chrono_literals;

// Frames of the steady part of a stream that starts at `start`: skips the
// decoder's start-up and the effect ramps.
constexpr std::size_t kSkip = 8820;    // 0.2 s
constexpr std::size_t kWindow = 22050; // 0.5 s

using SoundTest = EngineTest;

TEST_F(SoundTest, LevelFollowsAKnownTone) {
    StartNull();
    // Left at half scale, right at a quarter.
    const HSTREAM h = Open(ServeMp3("/tone", MakeMp3("0.5*sin(2*PI*440*t)", "0.25*sin(2*PI*440*t)", 3.0)));
    EXPECT_EQ(engine.BASS_ChannelGetLevel(h), ~DWORD{0}) << "not playing yet";
    ASSERT_TRUE(engine.BASS_ChannelPlay(h, kFalse));
    ASSERT_TRUE(WaitFor([&] { return (engine.BASS_ChannelGetLevel(h) & 0xffff) > 8000; }));
    // Let the level settle past the first block's ramp (some 0.2 s of output), then read it.
    const std::uint64_t settled = engine.MixedBlocks() + 9;
    ASSERT_TRUE(WaitFor([&] { return engine.MixedBlocks() > settled; }));
    const DWORD level = engine.BASS_ChannelGetLevel(h);
    EXPECT_NEAR(static_cast<double>(level & 0xffff), 16384, 16384 * 0.08);
    EXPECT_NEAR(static_cast<double>(level >> 16), 8192, 8192 * 0.08);
    EXPECT_EQ(engine.BASS_ChannelIsActive(h), BASS_ACTIVE_PLAYING);
    // Muting silences the output, not the meter: a muted station still shows it sounds.
    ASSERT_TRUE(engine.BASS_ChannelSetAttribute(h, BASS_ATTRIB_VOL, 0.0f));
    const std::uint64_t blocks = engine.MixedBlocks();
    ASSERT_TRUE(WaitFor([&] { return engine.MixedBlocks() > blocks + 3; }));
    EXPECT_NEAR(static_cast<double>(engine.BASS_ChannelGetLevel(h) & 0xffff), 16384, 16384 * 0.08);
}

struct EqCase {
    float center;
    float gain;
};

class EqualizerTest : public EngineTest {
protected:
    // Plays the three-tone mix with one band, returns each tone's amplitude.
    std::vector<double> Levels(const EqCase* band) {
        StartDisk();
        const std::string tone = "0.2*sin(2*PI*125*t)+0.2*sin(2*PI*1000*t)+0.2*sin(2*PI*8000*t)";
        const HSTREAM h = Open(ServeMp3("/eq", MakeMp3(tone, tone, 1.2)));
        if (band) {
            const HFX fx = engine.BASS_ChannelSetFX(h, BASS_FX_DX8_PARAMEQ, 1);
            EXPECT_NE(fx, 0u);
            BASS_DX8_PARAMEQ p{band->center, 18.0f, band->gain};
            EXPECT_TRUE(engine.BASS_FXSetParameters(fx, &p));
            BASS_DX8_PARAMEQ back{};
            EXPECT_TRUE(engine.BASS_FXGetParameters(fx, &back));
            EXPECT_EQ(back.fGain, band->gain);
        }
        PlayToEnd(h);
        const auto out = StopAndRead();
        const std::size_t start = FirstSound(out);
        EXPECT_NE(start, std::string::npos);
        std::vector<double> levels;
        for (double hz : {125.0, 1000.0, 8000.0})
            levels.push_back(ToneAmplitude(out, 0, hz, start + kSkip, kWindow));
        return levels;
    }
};

TEST_F(EqualizerTest, EachBandChangesItsCentreByItsGain) {
    const std::vector<double> flat = Levels(nullptr);
    for (double a : flat)
        ASSERT_NEAR(a, 0.2, 0.02);
    const std::vector<EqCase> cases = {{125.0f, 10.0f}, {1000.0f, -10.0f}, {8000.0f, 6.0f}};
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].center);
        engine.BASS_Free();
        const auto shaped = Levels(&cases[i]);
        EXPECT_NEAR(Db(shaped[i] / flat[i]), cases[i].gain, 1.0);
    }
}

struct ShapeCase {
    const char* name;
    std::function<void(AudioEngine&, HSTREAM)> apply;
    double left,
        right; // expected amplitude of the 440 Hz (left) and 660 Hz (right) tones in each output channel
    double left_660, right_440;
};

void MonoProc(HDSP, DWORD, void* buffer, DWORD length, void*) {
    // Output thread: both channels carry their mean.
    auto* s = static_cast<float*>(buffer);
    for (DWORD i = 0; i + 1 < length / sizeof(float); i += 2)
        s[i] = s[i + 1] = (s[i] + s[i + 1]) / 2;
}

TEST_F(SoundTest, MonoPanVolumeAndMuteShapeTheOutput) {
    // Left carries 440 Hz at 0.4, right 660 Hz at 0.4.
    const std::string mp3 = MakeMp3("0.4*sin(2*PI*440*t)", "0.4*sin(2*PI*660*t)", 1.2);
    const std::vector<ShapeCase> cases = {
        {"untouched", [](AudioEngine&, HSTREAM) {}, 0.4, 0.4, 0.0, 0.0},
        {"mono", [](AudioEngine& e, HSTREAM h) { e.BASS_ChannelSetDSP(h, &MonoProc, nullptr, 0); }, 0.2, 0.2,
         0.2, 0.2},
        {"pan-left", [](AudioEngine& e, HSTREAM h) { e.BASS_ChannelSetAttribute(h, BASS_ATTRIB_PAN, -1.0f); },
         0.4, 0.0, 0.0, 0.0},
        {"pan-half-right",
         [](AudioEngine& e, HSTREAM h) { e.BASS_ChannelSetAttribute(h, BASS_ATTRIB_PAN, 0.5f); }, 0.2, 0.4,
         0.0, 0.0},
        {"volume", [](AudioEngine& e, HSTREAM h) { e.BASS_ChannelSetAttribute(h, BASS_ATTRIB_VOL, 0.5f); },
         0.2, 0.2, 0.0, 0.0},
        {"mute", [](AudioEngine& e, HSTREAM h) { e.BASS_ChannelSetAttribute(h, BASS_ATTRIB_VOL, 0.0f); }, 0.0,
         0.0, 0.0, 0.0},
        {"mono-removed",
         [](AudioEngine& e, HSTREAM h) {
             e.BASS_ChannelRemoveDSP(h, e.BASS_ChannelSetDSP(h, &MonoProc, nullptr, 0));
         },
         0.4, 0.4, 0.0, 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StartDisk();
        const HSTREAM h = Open(ServeMp3("/lr", mp3));
        c.apply(engine, h);
        PlayToEnd(h);
        const auto out = StopAndRead();
        // Silence throughout (mute) has no start: measure from the beginning.
        std::size_t start = FirstSound(out);
        if (start == std::string::npos) start = 0;
        EXPECT_NEAR(ToneAmplitude(out, 0, 440, start + kSkip, kWindow), c.left, 0.02);
        EXPECT_NEAR(ToneAmplitude(out, 1, 660, start + kSkip, kWindow), c.right, 0.02);
        EXPECT_NEAR(ToneAmplitude(out, 0, 660, start + kSkip, kWindow), c.left_660, 0.02);
        EXPECT_NEAR(ToneAmplitude(out, 1, 440, start + kSkip, kWindow), c.right_440, 0.02);
    }
}

TEST_F(SoundTest, ReverbLeavesATailAfterTheSoundStops) {
    // 0.3 s of tone, then silence.
    const std::string burst = "if(lt(t,0.3),0.4*sin(2*PI*440*t),0)";
    const std::string mp3 = MakeMp3(burst, burst, 1.5);
    std::vector<double> tails;
    for (float mix : {-96.0f, 0.0f}) {
        StartDisk();
        const HSTREAM h = Open(ServeMp3("/burst", mp3));
        const HFX fx = engine.BASS_ChannelSetFX(h, BASS_FX_DX8_REVERB, 1);
        BASS_DX8_REVERB p{};
        ASSERT_TRUE(engine.BASS_FXGetParameters(fx, &p));
        p.fReverbMix = mix;
        p.fReverbTime = 1200.0f;
        p.fHighFreqRTRatio = 0.1f;
        ASSERT_TRUE(engine.BASS_FXSetParameters(fx, &p));
        PlayToEnd(h);
        const auto out = StopAndRead();
        const std::size_t start = FirstSound(out);
        ASSERT_NE(start, std::string::npos);
        // RMS from 0.2 s to 0.5 s after the tone ended.
        double sum = 0;
        const std::size_t from = start + 22050, to = start + 35280;
        for (std::size_t i = from; i < to && 2 * i < out.size(); ++i)
            sum += out[2 * i] * out[2 * i];
        tails.push_back(std::sqrt(sum / static_cast<double>(to - from)));
    }
    EXPECT_LT(tails[0], 0.002) << "no reverb: silence after the tone";
    EXPECT_GT(tails[1], 0.01) << "reverb: the tone rings on";
}

TEST_F(SoundTest, AFreedStreamIsSilentAtOnce) {
    StartDisk();
    const HSTREAM h = Open(ServeMp3("/long", MakeMp3("0.4*sin(2*PI*440*t)", "0.4*sin(2*PI*440*t)", 4.0)));
    ASSERT_TRUE(engine.BASS_ChannelPlay(h, kFalse));
    ASSERT_TRUE(WaitFor([&] { return (engine.BASS_ChannelGetLevel(h) & 0xffff) > 8000; }));
    const std::uint64_t blocks_at_free = engine.MixedBlocks();
    ASSERT_TRUE(engine.BASS_StreamFree(h));
    EXPECT_EQ(engine.BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED);
    ASSERT_TRUE(WaitFor([&] { return engine.MixedBlocks() > blocks_at_free + 20; }));
    const auto out = StopAndRead();
    // The disk driver writes one block per mix: the block being mixed while
    // freeing may still sound; none after it.
    const std::size_t silent_from = (blocks_at_free + 1) * AudioEngine::kBlockFrames;
    ASSERT_GT(out.size() / 2, silent_from + 10 * AudioEngine::kBlockFrames);
    float loudest = 0;
    for (std::size_t i = 2 * silent_from; i < out.size(); ++i)
        loudest = std::max(loudest, std::fabs(out[i]));
    EXPECT_EQ(loudest, 0.0f);
}

} // namespace
} // namespace lumaro::engine::test
