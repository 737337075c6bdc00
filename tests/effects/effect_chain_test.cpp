// The effect chain against the engine fake: what each knob, caption, switch and
// key sends, in which calls and with which values, on a new stream and on the
// playing one.

#include "shaping_fake.h"
#include "shown_view.h"

#include "effects/effect_chain.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace lumaro;
using namespace lumaro::testing;

namespace {

constexpr HSTREAM kStream = 7;

// What the engine last got for knob: a band's gain, the reverb mix, or the
// volume / pan attribute.
float LastSent(const ShapingFake& fake, const TEffectChain& chain, TEffectKnob knob) {
    const auto h = chain.Handles();
    const HFX fx = knob == TEffectKnob::Bass     ? h.BassFx
                   : knob == TEffectKnob::Middle ? h.MiddleFx
                   : knob == TEffectKnob::Treble ? h.TrebleFx
                                                 : h.ReverbFx;
    float sent = -1000;
    for (const auto& call : fake.Shaping()) {
        if (call.name == "Attrib" && call.handle == kStream &&
            ((knob == TEffectKnob::Volume && call.kind == BASS_ATTRIB_VOL) ||
             (knob == TEffectKnob::Pan && call.kind == BASS_ATTRIB_PAN)))
            sent = call.values[0];
        else if (call.name == "FXSet" && call.handle == fx && knob <= TEffectKnob::Reverb)
            sent = call.values[knob == TEffectKnob::Reverb ? 1 : 2];
    }
    return sent;
}

class EffectChainTest : public ::testing::Test {
protected:
    void SetUp() override { Open(kStream, 2); }
    // The worker has opened stream h with this many channels.
    void Open(HSTREAM h, DWORD channels) {
        std::lock_guard lock(state_.Lock);
        state_.Stream = h;
        state_.ChannelInfo.chans = channels;
    }
    std::vector<ShapingCall> Calls(const std::string& name) const {
        std::vector<ShapingCall> out;
        for (const auto& c : fake_.Shaping())
            if (c.name == name) out.push_back(c);
        return out;
    }
    // Volume / pan values sent to h, in order.
    std::vector<float> Attribs(DWORD attrib, HSTREAM h = kStream) const {
        std::vector<float> out;
        for (const auto& c : Calls("Attrib"))
            if (c.kind == attrib && c.handle == h) out.push_back(c.values[0]);
        return out;
    }
    // The last parameters sent to effect fx.
    std::vector<float> LastSet(HFX fx) const {
        std::vector<float> last;
        for (const auto& c : Calls("FXSet"))
            if (c.handle == fx) last = c.values;
        return last;
    }
    HFX FxOf(TEffectKnob knob) const {
        const auto h = chain_.Handles();
        switch (knob) {
        case TEffectKnob::Bass:
            return h.BassFx;
        case TEffectKnob::Middle:
            return h.MiddleFx;
        case TEffectKnob::Treble:
            return h.TrebleFx;
        default:
            return h.ReverbFx;
        }
    }
    // What knob's position reaches the engine: a band's gain, the reverb mix,
    // or the last volume / pan attribute.
    float SentValue(TEffectKnob knob) const {
        switch (knob) {
        case TEffectKnob::Volume:
            return Attribs(BASS_ATTRIB_VOL).back();
        case TEffectKnob::Pan:
            return Attribs(BASS_ATTRIB_PAN).back();
        case TEffectKnob::Reverb:
            return LastSet(FxOf(knob)).at(1);
        default:
            return LastSet(FxOf(knob)).at(2);
        }
    }

    ShapingFake fake_;
    TPlayerState state_;
    ShownView view_;
    TEffectChain chain_{fake_, state_, view_};
};

struct MappingCase {
    TEffectKnob knob;
    int position;
    float sent;
};

TEST_F(EffectChainTest, KnobPositionsMapToEngineValuesOnANewStreamAndOnThePlayingOne) {
    const std::vector<MappingCase> cases = {
        {TEffectKnob::Bass, 3, 1.0f},        {TEffectKnob::Bass, -3, -1.0f},
        {TEffectKnob::Bass, -20, -10.0f},    {TEffectKnob::Middle, 20, 10.0f},
        {TEffectKnob::Treble, -7, -3.0f},    {TEffectKnob::Treble, 1, 0.0f},
        {TEffectKnob::Bass, -99, -10.0f}, // outside the range: the nearer bound
        {TEffectKnob::Reverb, -141, -96.0f}, {TEffectKnob::Reverb, -140, -14.0f},
        {TEffectKnob::Reverb, 0, 0.0f},      {TEffectKnob::Reverb, -75, -7.5f},
        {TEffectKnob::Volume, 0, 0.0f},      {TEffectKnob::Volume, 37, 0.37f},
        {TEffectKnob::Volume, 100, 1.0f},    {TEffectKnob::Volume, 250, 1.0f},
        {TEffectKnob::Pan, -100, -1.0f},     {TEffectKnob::Pan, 25, 0.25f},
        {TEffectKnob::Pan, 100, 1.0f},
    };
    for (const MappingCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << "knob " << static_cast<int>(c.knob) << " at " << c.position);
        for (bool beforeStream : {false, true}) {
            // Turned on the playing stream (its change handler sends it), or
            // set before the stream exists (ApplyEffectChain sends it).
            ShapingFake fake;
            TPlayerState state;
            ShownView view;
            TEffectChain chain(fake, state, view);
            if (beforeStream) chain.SetKnobPosition(c.knob, c.position);
            state.Stream = kStream;
            chain.ApplyEffectChain(kStream);
            if (!beforeStream) chain.SetKnobPosition(c.knob, c.position);
            EXPECT_FLOAT_EQ(LastSent(fake, chain, c.knob), c.sent) << (beforeStream ? "applied" : "turned");
        }
    }
}

TEST_F(EffectChainTest, ApplyPutsTheWholeChainOnTheNewStreamInOrder) {
    chain_.SetKnobPosition(TEffectKnob::Bass, 8);
    chain_.SetKnobPosition(TEffectKnob::Middle, -5);
    chain_.SetKnobPosition(TEffectKnob::Treble, 13);
    chain_.SetKnobPosition(TEffectKnob::Reverb, -30);
    chain_.SetKnobPosition(TEffectKnob::Volume, 80);
    chain_.SetKnobPosition(TEffectKnob::Pan, -40);
    fake_.ClearShaping();
    chain_.ApplyEffectChain(kStream);
    const auto calls = fake_.Shaping();
    const auto h = chain_.Handles();
    ASSERT_EQ(calls.size(), 13u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(calls[i].name, "SetFX");
        EXPECT_EQ(calls[i].handle, kStream);
        EXPECT_EQ(calls[i].kind, i < 3 ? BASS_FX_DX8_PARAMEQ : BASS_FX_DX8_REVERB);
        EXPECT_EQ(calls[i].priority, 1);
    }
    EXPECT_NE(h.BassFx, h.MiddleFx);
    const std::vector<std::pair<HFX, std::vector<float>>> bands = {{h.BassFx, {125.0f, 18.0f, 4.0f}},
                                                                   {h.MiddleFx, {1000.0f, 18.0f, -2.0f}},
                                                                   {h.TrebleFx, {8000.0f, 18.0f, 6.0f}}};
    for (size_t i = 0; i < bands.size(); ++i) {
        EXPECT_EQ(calls[4 + i].name, "FXSet");
        EXPECT_EQ(calls[4 + i].handle, bands[i].first);
        EXPECT_EQ(calls[4 + i].values, bands[i].second);
    }
    EXPECT_EQ(calls[7].name, "FXGet");
    EXPECT_EQ(calls[7].handle, h.ReverbFx);
    EXPECT_EQ(calls[8].name, "FXSet");
    EXPECT_EQ(calls[8].values,
              (std::vector<float>{engine::ReverbLimits::kDefaults.fInGain, -3.0f, 1200.0f, 0.1f}));
    EXPECT_EQ(calls[9].kind, BASS_ATTRIB_VOL);
    EXPECT_FLOAT_EQ(calls[9].values[0], 0.8f);
    EXPECT_EQ(calls[10].kind, BASS_ATTRIB_PAN);
    EXPECT_FLOAT_EQ(calls[10].values[0], -0.4f);
    EXPECT_EQ(calls[11].name, "RemoveDSP") << "Mono off removes (nothing) from the new stream";
    EXPECT_EQ(calls[12].name, "Attrib");
    EXPECT_FLOAT_EQ(calls[12].values[0], 0.8f) << "not muted: the volume once more";
}

TEST_F(EffectChainTest, ABandKnobChangesOnlyItsOwnGain) {
    chain_.ApplyEffectChain(kStream);
    const auto h = chain_.Handles();
    fake_.ClearShaping();
    chain_.DIBKnob3Change(9);
    const auto calls = fake_.Shaping();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].name, "FXGet");
    EXPECT_EQ(calls[0].handle, h.MiddleFx);
    EXPECT_EQ(calls[1].handle, h.MiddleFx);
    EXPECT_EQ(calls[1].values, (std::vector<float>{1000.0f, 18.0f, 4.0f}));
    fake_.ClearShaping();
    chain_.DIBKnob6Change(-10);
    ASSERT_EQ(fake_.Shaping().size(), 2u);
    EXPECT_EQ(LastSet(h.ReverbFx), (std::vector<float>{0.0f, -1.0f, 1200.0f, 0.1f})) << "time and ratio stay";
}

TEST_F(EffectChainTest, CaptionClicksResetTheirKnobAndSendNothingWhenAlreadyThere) {
    chain_.ApplyEffectChain(kStream);
    struct CaptionCase {
        const char* caption;
        void (TEffectChain::*click)();
        TEffectKnob knob;
        int moved, reset;
    };
    const std::vector<CaptionCase> cases = {
        {"Bass", &TEffectChain::Label2Click, TEffectKnob::Bass, 12, 0},
        {"Middle", &TEffectChain::Label6Click, TEffectKnob::Middle, -4, 0},
        {"Treble", &TEffectChain::Label7Click, TEffectKnob::Treble, 20, 0},
        {"Reverb", &TEffectChain::Label16Click, TEffectKnob::Reverb, -20, -150},
        {"Pan", &TEffectChain::Label9Click, TEffectKnob::Pan, 60, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        chain_.SetKnobPosition(c.knob, c.moved);
        fake_.ClearShaping();
        view_.knobs.clear();
        (chain_.*c.click)();
        EXPECT_EQ(chain_.Position(c.knob), c.reset);
        EXPECT_FALSE(fake_.Shaping().empty());
        const float expected = c.knob == TEffectKnob::Reverb ? -96.0f : 0.0f;
        EXPECT_FLOAT_EQ(SentValue(c.knob), expected);
        ASSERT_EQ(view_.knobs.size(), 1u);
        EXPECT_EQ(view_.knobs[0], std::make_pair(c.knob, c.reset)) << "the widget follows";

        fake_.ClearShaping();
        (chain_.*c.click)();
        EXPECT_TRUE(fake_.Shaping().empty()) << "already at its value: nothing sent";
        EXPECT_EQ(view_.knobs.size(), 1u);
        // The widget echoing the position back sends nothing either.
        chain_.SetKnobPosition(c.knob, c.reset);
        EXPECT_TRUE(fake_.Shaping().empty());
    }
}

TEST_F(EffectChainTest, MuteHoldsTheVolumeKnobUntilUnmuted) {
    chain_.ApplyEffectChain(kStream);
    fake_.ClearShaping();
    chain_.suiImageButton7Click();
    EXPECT_EQ(chain_.MuteState(), 1);
    EXPECT_EQ(Attribs(BASS_ATTRIB_VOL), std::vector<float>{0.0f});
    chain_.DIBKnob5Change(80);
    chain_.VolumeUp();
    EXPECT_EQ(chain_.Position(TEffectKnob::Volume), 83);
    EXPECT_EQ(Attribs(BASS_ATTRIB_VOL), std::vector<float>{0.0f}) << "muted: the knob sends nothing";
    chain_.DIBKnob7Change(-50);
    EXPECT_EQ(Attribs(BASS_ATTRIB_PAN), std::vector<float>{-0.5f}) << "pan acts while muted";

    // A new station while muted starts silent.
    Open(8, 2);
    chain_.ApplyEffectChain(8);
    EXPECT_FLOAT_EQ(Attribs(BASS_ATTRIB_VOL, 8).back(), 0.0f);

    chain_.suiImageButton7Click();
    EXPECT_EQ(chain_.MuteState(), 0);
    EXPECT_FLOAT_EQ(Attribs(BASS_ATTRIB_VOL, 8).back(), 0.83f) << "unmuted at the knob's new position";
    EXPECT_EQ(view_.mute, (std::vector<bool>{true, false}));
    chain_.DIBKnob5Change(40);
    EXPECT_FLOAT_EQ(Attribs(BASS_ATTRIB_VOL, 8).back(), 0.40f);
}

TEST_F(EffectChainTest, VolumeKeysMoveTheKnobByThreeWithinItsRange) {
    chain_.ApplyEffectChain(kStream);
    // which keys stand for up and down is the key table's (shell tests)
    struct KeyCase {
        int from;
        bool up;
        int presses, to;
        size_t sends;
    };
    const std::vector<KeyCase> cases = {
        {98, true, 5, 100, 1}, {50, true, 2, 56, 2}, {2, false, 1, 0, 1},
        {0, false, 3, 0, 0},   {10, false, 1, 7, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << (c.up ? "up" : "down") << " from " << c.from);
        chain_.SetKnobPosition(TEffectKnob::Volume, c.from);
        fake_.ClearShaping();
        for (int i = 0; i < c.presses; ++i)
            c.up ? chain_.VolumeUp() : chain_.VolumeDown();
        EXPECT_EQ(chain_.Position(TEffectKnob::Volume), c.to);
        EXPECT_EQ(Attribs(BASS_ATTRIB_VOL).size(), c.sends);
    }
}

TEST_F(EffectChainTest, MonoFollowsTheSwitchOntoEveryNewStream) {
    chain_.ApplyEffectChain(kStream);
    fake_.ClearShaping();
    chain_.suiImageButton2Click();
    EXPECT_EQ(chain_.MonoState(), 1);
    auto dsps = Calls("SetDSP");
    ASSERT_EQ(dsps.size(), 1u);
    EXPECT_EQ(dsps[0].handle, kStream);
    EXPECT_EQ(dsps[0].proc, &TEffectChain::MonoDspProc);
    EXPECT_EQ(dsps[0].priority, 0);
    const HDSP first = chain_.Handles().MonoDsp;
    EXPECT_NE(first, 0u);

    // A new (mono) station while Mono is on gets the DSP too.
    Open(8, 1);
    chain_.ApplyEffectChain(8);
    dsps = Calls("SetDSP");
    ASSERT_EQ(dsps.size(), 2u);
    EXPECT_EQ(dsps[1].handle, 8u);
    const HDSP second = chain_.Handles().MonoDsp;
    EXPECT_NE(second, first);

    chain_.suiImageButton2Click();
    const auto removed = Calls("RemoveDSP");
    ASSERT_FALSE(removed.empty());
    EXPECT_EQ(removed.back().handle, 8u);
    EXPECT_EQ(removed.back().kind, second);
    EXPECT_EQ(view_.mono, (std::vector<bool>{true, false}));

    // Mono off: a new stream gets no DSP.
    Open(9, 2);
    chain_.ApplyEffectChain(9);
    EXPECT_EQ(Calls("SetDSP").size(), 2u);
}

TEST_F(EffectChainTest, MonoDspAveragesStereoPairsAndLeavesOtherStreamsAlone) {
    // The user value carries the channel count of the stream it was set on.
    fake_.ClearShaping();
    chain_.suiImageButton2Click();
    void* stereoUser = Calls("SetDSP").at(0).user;
    std::vector<float> block = {1.0f, 0.0f, -0.5f, 0.5f, 0.25f, 0.75f, 0.3f};
    TEffectChain::MonoDspProc(1, kStream, block.data(), static_cast<DWORD>(block.size() * 4), stereoUser);
    EXPECT_EQ(block, (std::vector<float>{0.5f, 0.5f, 0.0f, 0.0f, 0.5f, 0.5f, 0.3f}))
        << "an odd last float stays";

    chain_.suiImageButton2Click();
    Open(8, 1);
    chain_.suiImageButton2Click();
    void* monoUser = Calls("SetDSP").back().user;
    std::vector<float> mono = {1.0f, 0.0f, 0.2f, 0.4f};
    const auto before = mono;
    TEffectChain::MonoDspProc(1, 8, mono.data(), 16, monoUser);
    EXPECT_EQ(mono, before) << "a one-channel stream is untouched";
}

TEST_F(EffectChainTest, ControlsMoveBeforeAnyStreamAndTheFirstStreamGetsThem) {
    Open(0, 0);
    chain_.DIBKnob2Change(6);
    chain_.DIBKnob5Change(70);
    chain_.suiImageButton7Click();
    chain_.suiImageButton2Click();
    EXPECT_EQ(chain_.Position(TEffectKnob::Bass), 6);
    EXPECT_EQ(chain_.MuteState(), 1);
    EXPECT_EQ(chain_.MonoState(), 1);
    Open(kStream, 2);
    fake_.ClearShaping();
    chain_.ApplyEffectChain(kStream);
    EXPECT_EQ(LastSet(chain_.Handles().BassFx), (std::vector<float>{125.0f, 18.0f, 3.0f}));
    EXPECT_EQ(Attribs(BASS_ATTRIB_VOL), (std::vector<float>{0.7f, 0.0f}));
    EXPECT_EQ(Calls("SetDSP").size(), 1u);
}

TEST_F(EffectChainTest, AKnobTurnedWhileAWorkerAppliesTheChainNeverMixesUpBands) {
    // The worker applies the chain to one new stream after another while the
    // window turns the band knobs: no get-change-set may see another band's
    // centre in the shared working record.
    std::atomic<bool> stop{false};
    std::thread worker([&] {
        for (HSTREAM h = 100; h < 100 + 2000; ++h) {
            {
                std::lock_guard lock(state_.Lock);
                state_.Stream = h;
                state_.ChannelInfo.chans = 2;
            }
            chain_.ApplyEffectChain(h);
        }
        stop = true;
    });
    int position = 0;
    while (!stop) {
        position = (position + 7) % 41 - 20;
        chain_.DIBKnob2Change(position);
        chain_.DIBKnob3Change(-position);
        chain_.DIBKnob4Change(position / 2);
    }
    worker.join();
    EXPECT_EQ(fake_.BandRewrites(), 0);
}

} // namespace
