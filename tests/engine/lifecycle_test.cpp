// Engine set-up, handles and freeing: what callers rely on when streams come
// and go on several threads.
#include "tests/engine/engine_fixture.h"

#include <atomic>
#include <future>
#include <thread>

namespace lumaro::engine::test {
namespace {

using namespace std::chrono_literals;
namespace serve = lumaro::testing::serve;

using LifecycleTest = EngineTest;

TEST_F(LifecycleTest, SetUpCallsAcceptWhatThePlayerPasses) {
    EXPECT_EQ(engine.BASS_GetVersion() >> 16, 0x0204u);
    EXPECT_EQ(engine.BASS_StreamCreateURL("http://127.0.0.1:1/x", 0, 0, nullptr, nullptr), 0u);
    EXPECT_EQ(engine.BASS_ErrorGetCode(), BASS_ERROR_INIT);
    StartNull();
    EXPECT_FALSE(engine.BASS_Init(-1, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(engine.BASS_ErrorGetCode(), BASS_ERROR_ALREADY);
    for (const char* name :
         {"bass_aac.dll", "basswma.dll", "bassenc.dll", "bassopus.dll", "basswebm.dll", "bassflac.dll",
          "basshls.dll", "bass_ac3.dll", "bass_mpc.dll", "bassdsd.dll", "basswv.dll"}) {
        EXPECT_NE(engine.BASS_PluginLoad(name, 0), 0u) << name;
    }
    EXPECT_EQ(engine.BASS_PluginLoad("notaplugin.dll", 0), 0u);
    EXPECT_EQ(engine.BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
    for (DWORD option :
         {BASS_CONFIG_NET_PLAYLIST, BASS_CONFIG_FLOATDSP, BASS_CONFIG_NET_PREBUF, BASS_CONFIG_NET_TIMEOUT}) {
        EXPECT_TRUE(engine.BASS_SetConfig(option, 1)) << option;
        EXPECT_EQ(engine.BASS_ErrorGetCode(), BASS_OK);
    }
    EXPECT_FALSE(engine.BASS_SetConfig(12345, 1));
    EXPECT_EQ(engine.BASS_ErrorGetCode(), BASS_ERROR_ILLTYPE);
    EXPECT_TRUE(engine.BASS_Free());
    EXPECT_FALSE(engine.BASS_Free());
    EXPECT_EQ(engine.BASS_ErrorGetCode(), BASS_ERROR_INIT);
}

TEST_F(LifecycleTest, InitWithoutASoundDeviceFailsWithTheDriverError) {
    EXPECT_FALSE(engine.BASS_Init(-1, 44100, 0, nullptr, nullptr)); // no output at all
    EXPECT_EQ(engine.BASS_ErrorGetCode(), BASS_ERROR_DRIVER);
    struct Refusing : AudioOutput {
        bool Start(RenderSource&) override { return false; }
        void Stop() override {}
        const char* Name() const override { return "refusing"; }
    };
    make_output = [] { return std::make_unique<Refusing>(); };
    EXPECT_FALSE(engine.BASS_Init(-1, 44100, 0, nullptr, nullptr)); // a device that cannot be opened
    EXPECT_EQ(engine.BASS_ErrorGetCode(), BASS_ERROR_DRIVER);
    EXPECT_FALSE(engine.BASS_Init(7, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(engine.BASS_ErrorGetCode(), BASS_ERROR_DEVICE);
}

TEST_F(LifecycleTest, ErrorCodesArePerThread) {
    StartNull();
    EXPECT_FALSE(engine.BASS_StreamFree(12345));
    std::thread([&] {
        EXPECT_EQ(engine.BASS_ErrorGetCode(), BASS_OK);
        EXPECT_FALSE(engine.BASS_SetConfig(999, 0));
    }).join();
    EXPECT_EQ(engine.BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
}

TEST_F(LifecycleTest, FreedHandlesAreInvalidForEveryCall) {
    StartNull();
    const HSTREAM h = Open(ServeMp3("/a", MakeMp3("0.2*sin(2*PI*440*t)", "0", 1.0)));
    const HFX fx = engine.BASS_ChannelSetFX(h, BASS_FX_DX8_PARAMEQ, 1);
    ASSERT_NE(fx, 0u);
    ASSERT_TRUE(engine.BASS_ChannelPlay(h, kFalse));
    ASSERT_TRUE(engine.BASS_StreamFree(h));
    BASS_CHANNELINFO info{};
    BASS_DX8_PARAMEQ eq{1000, 12, 0};
    const std::vector<std::pair<const char*, std::function<bool()>>> calls = {
        {"free again", [&] { return engine.BASS_StreamFree(h) == 0; }},
        {"free 0", [&] { return engine.BASS_StreamFree(0) == 0; }},
        {"position",
         [&] { return engine.BASS_StreamGetFilePosition(h, BASS_FILEPOS_END) == BASS_POSITION_FAILED; }},
        {"tags", [&] { return engine.BASS_ChannelGetTags(h, BASS_TAG_HTTP) == nullptr; }},
        {"sync",
         [&] {
             return engine.BASS_ChannelSetSync(
                        h, BASS_SYNC_META, 0, [](HSYNC, DWORD, DWORD, void*) {}, nullptr) == 0;
         }},
        {"info", [&] { return engine.BASS_ChannelGetInfo(h, &info) == 0; }},
        {"play", [&] { return engine.BASS_ChannelPlay(h, kFalse) == 0; }},
        {"level", [&] { return engine.BASS_ChannelGetLevel(h) == ~DWORD{0}; }},
        {"fx", [&] { return engine.BASS_ChannelSetFX(h, BASS_FX_DX8_REVERB, 1) == 0; }},
        {"fx params", [&] { return engine.BASS_FXSetParameters(fx, &eq) == 0; }},
        {"attribute", [&] { return engine.BASS_ChannelSetAttribute(h, BASS_ATTRIB_VOL, 0.5f) == 0; }},
        {"dsp",
         [&] {
             return engine.BASS_ChannelSetDSP(
                        h, [](HDSP, DWORD, void*, DWORD, void*) {}, nullptr, 0) == 0;
         }},
        {"encode",
         [&] { return engine.BASS_Encode_Start(h, "lame - x.mp3", 0x40004, nullptr, nullptr) == 0; }},
        {"encode stop", [&] { return engine.BASS_Encode_Stop(h) == 0; }},
    };
    for (const auto& [name, call] : calls) {
        EXPECT_TRUE(call()) << name;
        EXPECT_EQ(engine.BASS_ErrorGetCode(), BASS_ERROR_HANDLE) << name;
    }
    EXPECT_EQ(engine.BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(engine.BASS_ChannelIsActive(0), BASS_ACTIVE_STOPPED);
}

// A callback that blocks until released, as the player's callbacks block
// until its window's thread has handled their message.
struct Gate {
    std::promise<void> entered;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<int> calls{0};
    AudioLibrary* engine = nullptr;
    std::atomic<HSTREAM> free_inside{0};
};

void BlockingMeta(HSYNC, DWORD, DWORD, void* user) {
    // The engine's callback thread.
    auto* g = static_cast<Gate*>(user);
    // Our own share of the future: the test may end, and the gate go, while
    // this thread still wakes from the wait.
    const std::shared_future<void> released = g->released;
    if (g->calls++ == 0) g->entered.set_value();
    released.wait();
}

TEST_F(LifecycleTest, FreeingReturnsAtOnceWhileACallbackIsBlocked) {
    StartNull();
    const std::string mp3 = MakeMp3("0.3*sin(2*PI*440*t)", "0.3*sin(2*PI*440*t)", 3.0);
    std::vector<std::string> blocks;
    for (int i = 0; i < 30; ++i)
        blocks.push_back("StreamTitle='" + std::to_string(i) + "';");
    const HSTREAM h = Open(ServeLiveIcy("/icy", {"content-type:audio/mpeg"}, 2000, mp3, blocks));
    Gate gate;
    ASSERT_NE(engine.BASS_ChannelSetSync(h, BASS_SYNC_META, 0, &BlockingMeta, &gate), 0u);
    ASSERT_TRUE(engine.BASS_ChannelPlay(h, kFalse));
    ASSERT_EQ(gate.entered.get_future().wait_for(10s), std::future_status::ready);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(engine.BASS_StreamFree(h));
    EXPECT_TRUE(engine.BASS_Free());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 200ms);
    gate.release.set_value(); // the callback thread now ends by itself
    EXPECT_TRUE(AudioEngine::WaitForStreamThreads(10s));
    EXPECT_EQ(gate.calls.load(), 1) << "no callback after the free";
}

void FreeingMeta(HSYNC, DWORD channel, DWORD, void* user) {
    // The engine's callback thread: frees its own channel.
    auto* g = static_cast<Gate*>(user);
    g->calls++;
    g->free_inside = g->engine->BASS_StreamFree(channel) ? channel : 0;
}

void FreeingDsp(HDSP, DWORD channel, void*, DWORD, void* user) {
    // Output thread: frees its own channel.
    auto* g = static_cast<Gate*>(user);
    if (g->calls++ == 3) g->free_inside = g->engine->BASS_StreamFree(channel) ? channel : 0;
}

TEST_F(LifecycleTest, ACallbackMayFreeItsOwnChannel) {
    StartNull();
    const std::string mp3 = MakeMp3("0.3*sin(2*PI*440*t)", "0.3*sin(2*PI*440*t)", 3.0);
    std::vector<std::string> blocks;
    for (int i = 0; i < 30; ++i)
        blocks.push_back("StreamTitle='" + std::to_string(i) + "';");
    const std::string icy = ServeLiveIcy("/icy", {"content-type:audio/mpeg"}, 2000, mp3, blocks);
    server.Handle("/plain", serve::Http("audio/mpeg", mp3));

    Gate meta, dsp;
    meta.engine = dsp.engine = &engine;
    const HSTREAM b = Open(server.Url("/plain"));
    ASSERT_NE(engine.BASS_ChannelSetDSP(b, &FreeingDsp, &dsp, 0), 0u);
    ASSERT_TRUE(engine.BASS_ChannelPlay(b, kFalse));
    // The live stream's next metadata block frees it, playing or not.
    const HSTREAM a = Open(icy);
    ASSERT_NE(engine.BASS_ChannelSetSync(a, BASS_SYNC_META, 0, &FreeingMeta, &meta), 0u);
    engine.BASS_ChannelPlay(a, kFalse);
    EXPECT_TRUE(WaitFor([&] { return meta.free_inside == a && dsp.free_inside == b; }));
    EXPECT_EQ(engine.BASS_ChannelIsActive(a), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(engine.BASS_ChannelIsActive(b), BASS_ACTIVE_STOPPED);
    const int dsp_calls = dsp.calls;
    const std::uint64_t mixed = engine.MixedBlocks();
    ASSERT_TRUE(WaitFor([&] { return engine.MixedBlocks() > mixed + 5; }));
    EXPECT_EQ(dsp.calls.load(), dsp_calls) << "no DSP call after the free";
}

TEST_F(LifecycleTest, FreeingFromManyThreadsWhileOpeningAndPlayingHoldsUp) {
    StartNull();
    const std::string url = ServeMp3("/s", MakeMp3("0.3*sin(2*PI*440*t)", "0.3*sin(2*PI*440*t)", 2.0));
    std::atomic<HSTREAM> current{0};
    std::atomic<bool> stop{false};
    std::thread freer([&] {
        while (!stop)
            engine.BASS_StreamFree(current.load());
    });
    for (int i = 0; i < 20; ++i) {
        const HSTREAM h = engine.BASS_StreamCreateURL(url.c_str(), 0, 0, nullptr, nullptr);
        current = h;
        engine.BASS_ChannelPlay(h, kFalse);
        engine.BASS_ChannelGetLevel(h);
    }
    stop = true;
    freer.join();
}

} // namespace
} // namespace lumaro::engine::test
