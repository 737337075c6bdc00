// The mixer called directly, without a device: what it makes of its
// channels' decoded audio, block by block.
#include "engine/core/engine_errors.h"
#include "engine/core/mixer.h"
#include "tests/engine/engine_fixture.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace lumaro::engine::test {
namespace {

using namespace std::chrono_literals;

constexpr int kFrames = 256;

// A playing channel whose ring holds `frames` frames of the constant `value`.
std::shared_ptr<Channel> ChannelWith(Mixer& mixer, float value, int frames, DWORD handle = 1) {
    auto ch = std::make_shared<Channel>(handle);
    const std::vector<float> samples(static_cast<std::size_t>(frames) * 2, value);
    EXPECT_EQ(ch->ring.Write(samples.data(), samples.size()), samples.size());
    EXPECT_TRUE(mixer.Play(ch));
    return ch;
}

std::vector<float> RenderBlock(Mixer& mixer, int frames = kFrames) {
    std::vector<float> out(static_cast<std::size_t>(frames) * 2, 99.0f);
    mixer.Render(out.data(), frames);
    return out;
}

TEST(MixerTest, ChannelsAddUpAndTheSumIsClamped) {
    struct Case {
        const char* name;
        float a, b, mixed;
    };
    for (const Case& c : {Case{"sum", 0.2f, 0.3f, 0.5f}, Case{"cancelling", 0.5f, -0.5f, 0.0f},
                          Case{"clamped high", 0.8f, 0.7f, 1.0f}, Case{"clamped low", -0.8f, -0.7f, -1.0f}}) {
        Mixer mixer;
        auto a = ChannelWith(mixer, c.a, kFrames, 1);
        auto b = ChannelWith(mixer, c.b, kFrames, 2);
        for (float s : RenderBlock(mixer))
            ASSERT_NEAR(s, c.mixed, 1e-6) << c.name;
        EXPECT_EQ(mixer.Blocks(), 1u) << c.name;
    }
}

TEST(MixerTest, LargeRequestsAreMixedInPieces) {
    Mixer mixer;
    auto ch = ChannelWith(mixer, 0.25f, Mixer::kMaxFrames * 2);
    const auto out = RenderBlock(mixer, Mixer::kMaxFrames + 100);
    for (float s : out)
        ASSERT_FLOAT_EQ(s, 0.25f);
    EXPECT_EQ(mixer.Blocks(), 2u);
}

TEST(MixerTest, UnderrunsCountOnlyForAChannelThatSoundedAndIsNotAtItsEnd) {
    struct Case {
        const char* name;
        int frames_before; // decoded audio before the blocks
        bool ended;        // the decoder is done
        std::uint64_t underruns;
        bool stalled;
    };
    for (const Case& c : {Case{"ran dry while live", kFrames, false, 2, true},
                          Case{"half a block short", kFrames + kFrames / 2, false, 2, true},
                          Case{"never sounded yet", 0, false, 0, true},
                          Case{"played to its end", kFrames + kFrames / 2, true, 0, false}}) {
        Mixer mixer;
        auto ch = ChannelWith(mixer, 0.1f, c.frames_before);
        ch->decoder_done = c.ended;
        for (int i = 0; i < 3; ++i)
            RenderBlock(mixer);
        EXPECT_EQ(mixer.Underruns(), c.underruns) << c.name;
        EXPECT_EQ(ch->stalled.load(), c.stalled) << c.name;
    }
}

TEST(MixerTest, AChannelFreedInsideItsDspCallbackIsSilentInThatBlock) {
    Mixer mixer;
    auto freed = ChannelWith(mixer, 0.5f, kFrames * 4, 1);
    auto kept = ChannelWith(mixer, 0.125f, kFrames * 4, 2);
    int calls = 0;
    freed->chain.add(std::make_shared<FunctionUnit>([&](float*, int) {
                         // Output thread: frees its own channel as a caller's DSP may.
                         ++calls;
                         freed->Kill();
                     }),
                     0);
    for (float s : RenderBlock(mixer))
        ASSERT_FLOAT_EQ(s, 0.125f);
    EXPECT_TRUE(freed->in_mix.load()); // let go at the next pass, not inside this one
    for (float s : RenderBlock(mixer))
        ASSERT_FLOAT_EQ(s, 0.125f);
    EXPECT_FALSE(freed->in_mix.load());
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(mixer.Play(freed));
}

TEST(MixerTest, RecordingsTakeTheSoundBeforeVolume) {
    const std::string file = ::testing::TempDir() + "mixer_tap_" + std::to_string(getpid()) + ".wav";
    Mixer mixer;
    auto ch = ChannelWith(mixer, 0.5f, kFrames * 4);
    ch->gain_pan.setVolume(0.0f);
    auto process = std::make_shared<EncoderProcess>();
    ASSERT_EQ(process->start("sh -c \"cat > '" + file + "'\"", core::kOutputRate, core::kOutputChannels),
              engine_error::kOk);
    ASSERT_TRUE(mixer.AddEncoder(*ch, {7, process}));
    RenderBlock(mixer); // the volume ramps down over this block
    std::vector<float> out;
    for (int i = 0; i < 3; ++i)
        out = RenderBlock(mixer);
    for (float s : out)
        ASSERT_FLOAT_EQ(s, 0.0f);
    for (auto& p : mixer.TakeEncoders(*ch, 7))
        p->stop();
    ASSERT_TRUE(process->waitForExit(10s));
    std::ifstream in(file, std::ios::binary);
    const std::string wav((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(file.c_str());
    ASSERT_EQ(wav.size(), 44u + 4 * kFrames * 2 * sizeof(std::int16_t)); // header + 16-bit stereo
    std::int16_t last;
    std::memcpy(&last, wav.data() + wav.size() - sizeof last, sizeof last);
    EXPECT_NEAR(last, 16384, 2); // 0.5 full scale, though the speakers were silent
}

} // namespace
} // namespace lumaro::engine::test
