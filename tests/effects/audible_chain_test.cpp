// What the listener hears when the effect chain shapes a stream: the real
// engine's mixed output through SDL's disk driver, measured per tone and
// channel. Each case plays a short generated MP3 with the chain applied as the
// connection worker applies it, and knobs and switches used as the window uses
// them.
#include "tests/engine/engine_fixture.h"

#include "effects/effect_chain.h"
#include "tests/effects/shown_view.h"

#include <cmath>
#include <functional>

namespace lumaro::engine::test {
namespace {

// The steady part of the output: past the decoder's start and the ramps.
constexpr std::size_t kSkip = 8820;    // 0.2 s
constexpr std::size_t kWindow = 22050; // 0.5 s

class AudibleChainTest : public EngineTest {
protected:
    // Opens mp3, lets `before` set the controls, applies the chain, lets
    // `after` act on the opened stream, plays to the end and returns the output.
    std::vector<float> Play(const std::string& mp3, const std::function<void(TEffectChain&)>& before,
                            const std::function<void(TEffectChain&)>& after) {
        StartDisk();
        TPlayerState state;
        testing::ShownView view;
        TEffectChain chain(engine, state, view);
        before(chain);
        const HSTREAM h = Open(ServeMp3("/tone", mp3));
        BASS_CHANNELINFO info;
        EXPECT_TRUE(engine.BASS_ChannelGetInfo(h, &info));
        {
            std::lock_guard lock(state.Lock);
            state.ChannelInfo = info;
            state.Stream = h;
        }
        chain.ApplyEffectChain(h);
        after(chain);
        PlayToEnd(h);
        return StopAndRead();
    }
    static std::size_t Start(const std::vector<float>& out) {
        const std::size_t start = FirstSound(out);
        return start == std::string::npos ? 0 : start;
    }
};

TEST_F(AudibleChainTest, EachBandKnobChangesItsToneByItsGain) {
    const std::string tone = "0.2*sin(2*PI*125*t)+0.2*sin(2*PI*1000*t)+0.2*sin(2*PI*8000*t)";
    const std::string mp3 = MakeMp3(tone, tone, 1.2);
    const double hz[] = {125.0, 1000.0, 8000.0};
    auto levels = [&](const std::vector<float>& out) {
        std::vector<double> l;
        for (double f : hz)
            l.push_back(ToneAmplitude(out, 0, f, Start(out) + kSkip, kWindow));
        return l;
    };
    const auto none = [](TEffectChain&) {};
    const std::vector<double> flat = levels(Play(mp3, none, none));
    for (double a : flat)
        ASSERT_NEAR(a, 0.1, 0.015) << "volume knob at its start position 50";

    struct BandCase {
        const char* name;
        std::function<void(TEffectChain&)> before, after;
        double gainDb;
    };
    const std::vector<BandCase> cases = {
        {"Bass +20, set before the stream", [](TEffectChain& c) { c.DIBKnob2Change(20); }, none, 10.0},
        {"Middle -20, turned on the stream", none, [](TEffectChain& c) { c.DIBKnob3Change(-20); }, -10.0},
        {"Treble 12 by the handler", none, [](TEffectChain& c) { c.DIBKnob4Change(12); }, 6.0},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        const auto shaped = levels(Play(mp3, cases[i].before, cases[i].after));
        EXPECT_NEAR(Db(shaped[i] / flat[i]), cases[i].gainDb, 1.0);
        for (std::size_t j = 0; j < 3; ++j)
            if (j != i) {
                EXPECT_NEAR(Db(shaped[j] / flat[j]), 0.0, 1.5) << "the other bands stay";
            }
    }
}

TEST_F(AudibleChainTest, MonoPanVolumeAndMuteAct) {
    // Left carries 440 Hz, right 660 Hz, both at 0.4.
    const std::string mp3 = MakeMp3("0.4*sin(2*PI*440*t)", "0.4*sin(2*PI*660*t)", 1.2);
    struct ShapeCase {
        const char* name;
        std::function<void(TEffectChain&)> before, after;
        double left440, right660, left660, right440;
    };
    const auto full = [](TEffectChain& c) { c.DIBKnob5Change(100); };
    const auto nothing = [](TEffectChain&) {};
    const std::vector<ShapeCase> cases = {
        {"full volume", full, nothing, 0.4, 0.4, 0.0, 0.0},
        {"Mono switched on", full, [](TEffectChain& c) { c.suiImageButton2Click(); }, 0.2, 0.2, 0.2, 0.2},
        {"Mono on before the stream",
         [](TEffectChain& c) {
             c.DIBKnob5Change(100);
             c.suiImageButton2Click();
         },
         nothing, 0.2, 0.2, 0.2, 0.2},
        {"Mono on and off again", full,
         [](TEffectChain& c) {
             c.suiImageButton2Click();
             c.suiImageButton2Click();
         },
         0.4, 0.4, 0.0, 0.0},
        {"pan hard left", full, [](TEffectChain& c) { c.DIBKnob7Change(-100); }, 0.4, 0.0, 0.0, 0.0},
        {"pan half right",
         [](TEffectChain& c) {
             c.DIBKnob5Change(100);
             c.DIBKnob7Change(50);
         },
         nothing, 0.2, 0.4, 0.0, 0.0},
        {"volume knob at 50", nothing, nothing, 0.2, 0.2, 0.0, 0.0},
        {"muted, volume turned while muted", full,
         [](TEffectChain& c) {
             c.suiImageButton7Click();
             c.DIBKnob5Change(60);
         },
         0.0, 0.0, 0.0, 0.0},
        {"muted and unmuted at the knob's new position", full,
         [](TEffectChain& c) {
             c.suiImageButton7Click();
             c.DIBKnob5Change(25);
             c.suiImageButton7Click();
         },
         0.1, 0.1, 0.0, 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto out = Play(mp3, c.before, c.after);
        const std::size_t from = Start(out) + kSkip;
        ASSERT_GT(out.size() / 2, from + kWindow) << "the stream played";
        EXPECT_NEAR(ToneAmplitude(out, 0, 440, from, kWindow), c.left440, 0.02);
        EXPECT_NEAR(ToneAmplitude(out, 1, 660, from, kWindow), c.right660, 0.02);
        EXPECT_NEAR(ToneAmplitude(out, 0, 660, from, kWindow), c.left660, 0.02);
        EXPECT_NEAR(ToneAmplitude(out, 1, 440, from, kWindow), c.right440, 0.02);
        if (c.left440 == 0.2 && c.left660 == 0.2) {
            float largest = 0;
            for (std::size_t i = 2 * from; i + 1 < out.size(); i += 2)
                largest = std::max(largest, std::fabs(out[i] - out[i + 1]));
            EXPECT_LT(largest, 1e-6f) << "mono: both channels equal";
        }
    }
}

} // namespace
} // namespace lumaro::engine::test
