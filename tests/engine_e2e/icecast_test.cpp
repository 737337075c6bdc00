// The engine and lumaro-play against a real Icecast2 (started by the CTest
// fixture): each mount plays, its ICY headers arrive as sent and each title
// set through Icecast's admin call reaches the metadata sync.
#include "engine/audio_engine.h"
#include "tests/support/capture.h"
#include "tests/support/icecast_env.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lumaro::engine {
namespace {

using namespace std::chrono_literals;

using test_support::Capture;
using test_support::IcecastEnv;

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

struct Titles {
    AudioLibrary* engine = nullptr;
    std::mutex mutex;
    std::vector<std::string> seen; // mutex
    bool Saw(const std::string& s) {
        std::lock_guard lock(mutex);
        return std::find(seen.begin(), seen.end(), s) != seen.end();
    }
};

void OnMeta(HSYNC, DWORD channel, DWORD, void* user) {
    // Download thread.
    auto* t = static_cast<Titles*>(user);
    const char* meta = t->engine->BASS_ChannelGetTags(channel, BASS_TAG_META);
    std::lock_guard lock(t->mutex);
    t->seen.emplace_back(meta ? meta : "");
}

std::vector<std::string> SplitList(const char* list) {
    std::vector<std::string> out;
    for (const char* s = list; s && *s; s += std::strlen(s) + 1)
        out.emplace_back(s);
    return out;
}

class IcecastTest : public ::testing::Test {
protected:
    void SetUp() override {
        ice = IcecastEnv::Read(ICECAST_STATE);
        ASSERT_FALSE(ice.Port.empty()) << "the Icecast fixture did not start";
        ASSERT_TRUE(engine.BASS_Init(-1, 44100, 0, nullptr, nullptr));
        engine.BASS_SetConfig(BASS_CONFIG_NET_PLAYLIST, 1);
        engine.BASS_SetConfig(BASS_CONFIG_NET_TIMEOUT, 5000);
    }
    void TearDown() override {
        engine.BASS_Free();
        AudioEngine::WaitForStreamThreads(10s);
    }
    IcecastEnv ice;
    AudioEngine engine{[] { return MakeNullOutput(); }};
};

struct MountCase {
    const char* path;         // what is opened
    const char* name;         // icy-name the source client set
    const char* title_mount;  // mount whose title is updated, or null (Ogg carries titles in-stream)
    const char* stream_title; // the title block an Ogg mount's own comments give, or null
};

TEST_F(IcecastTest, EveryMountPlaysWithItsHeadersAndTitles) {
    const std::vector<MountCase> cases = {
        {"/mp3", "Lumaro Test (mp3)", "/mp3", nullptr},
        {"/aac", "Lumaro Test (aac)", "/aac", nullptr},
        {"/opus", "Lumaro Test (opus)", nullptr, "StreamTitle='Lumaro Artist - Opus Song';"},
        {"/mp3.m3u", "Lumaro Test (mp3)", nullptr, nullptr}, // Icecast's own playlist of the mount
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const HSTREAM h = engine.BASS_StreamCreateURL(ice.Url(c.path).c_str(), 0, 0, nullptr, nullptr);
        ASSERT_NE(h, 0u) << engine.BASS_ErrorGetCode();
        const auto icy = SplitList(engine.BASS_ChannelGetTags(h, BASS_TAG_ICY));
        EXPECT_NE(std::find(icy.begin(), icy.end(), std::string("icy-name:") + c.name), icy.end());
        Titles titles;
        titles.engine = &engine;
        ASSERT_NE(engine.BASS_ChannelSetSync(h, BASS_SYNC_META, 0, &OnMeta, &titles), 0u);
        ASSERT_TRUE(engine.BASS_ChannelPlay(h, kFalse));
        // The source is a 440 Hz sine at ffmpeg's default amplitude (1/8).
        EXPECT_TRUE(WaitFor([&] { return (engine.BASS_ChannelGetLevel(h) & 0xffff) > 2000; }, 5s));
        EXPECT_NE(engine.BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED);
        if (c.title_mount) {
            const std::string song =
                std::string("Artist - Song ") + c.path + " " + std::to_string(rand() % 100000);
            ice.SetTitle(c.title_mount, song);
            EXPECT_TRUE(WaitFor([&] { return titles.Saw("StreamTitle='" + song + "';"); }, 8s));
        }
        if (c.stream_title) {
            EXPECT_TRUE(WaitFor(
                [&] {
                    const char* meta = engine.BASS_ChannelGetTags(h, BASS_TAG_META);
                    return meta && std::string(meta) == c.stream_title;
                },
                5s));
        }
        EXPECT_TRUE(engine.BASS_StreamFree(h));
    }
}

TEST_F(IcecastTest, LumaroPlayPrintsHeadersTitlesAndLevels) {
    engine.BASS_Free();
    const std::string song = "Tool - Title " + std::to_string(rand() % 100000);
    // The title changes once the player says it plays (its metadata sync is set by then).
    std::string out;
    bool titleSet = false;
    test_support::CaptureLines(std::string("SDL_AUDIODRIVER=dummy ") + LUMARO_PLAY + " " + ice.Url("/mp3") +
                                   " 3 2>&1; echo exit=$?",
                               [&](const std::string& line) {
                                   out += line + "\n";
                                   if (!titleSet && line.find("] playing") != std::string::npos) {
                                       ice.SetTitle("/mp3", song);
                                       titleSet = true;
                                   }
                               });
    EXPECT_NE(out.find("reply: HTTP/1.0 200 OK"), std::string::npos) << out;
    EXPECT_NE(out.find("icy: icy-name:Lumaro Test (mp3)"), std::string::npos) << out;
    EXPECT_NE(out.find("title: StreamTitle='" + song + "';"), std::string::npos) << out;
    EXPECT_NE(out.find("] level "), std::string::npos) << out;
    EXPECT_NE(out.find("exit=0"), std::string::npos) << out;

    const std::string missing = Capture(std::string("SDL_AUDIODRIVER=dummy ") + LUMARO_PLAY + " " +
                                        ice.Url("/no-such-mount") + " 1 2>&1; echo exit=$?");
    EXPECT_NE(missing.find("error 2: Can't open the file"), std::string::npos) << missing;
    EXPECT_NE(missing.find("exit=1"), std::string::npos) << missing;
}

} // namespace
} // namespace lumaro::engine
