// The null output the engine tests run on: paced like a device, and
// misbehaving exactly as its knobs say.
#include "engine/output/audio_output.h"
#include "tests/engine/engine_fixture.h"

namespace lumaro::engine::test {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Notes when each pull came and how large it was.
struct PullLog final : RenderSource {
    void Render(float* out, int frames) noexcept override {
        std::fill(out, out + frames * 2, 0.0f);
        std::lock_guard lock(mutex);
        at.push_back(Clock::now());
        sizes.push_back(frames);
    }
    std::size_t Count() {
        std::lock_guard lock(mutex);
        return at.size();
    }
    std::mutex mutex;
    std::vector<Clock::time_point> at; // mutex
    std::vector<int> sizes;            // mutex
};

TEST(NullOutputTest, PullsItsPeriodAndHonoursLatencyALateCallAndAStop) {
    NullOutputKnobs knobs;
    knobs.period_frames = 256; // 5.8 ms
    knobs.start_latency_ms = 100;
    knobs.late_call_index = 3;
    knobs.late_call_ms = 150;
    knobs.stop_after_calls = 20;
    auto output = MakeNullOutput(knobs);
    EXPECT_STREQ(output->Name(), "null");
    PullLog log;
    const auto started = Clock::now();
    ASSERT_TRUE(output->Start(log));
    ASSERT_TRUE(WaitFor([&] { return log.Count() >= 20; }));
    // A further pull would come within a period; give it several before stopping.
    ASSERT_FALSE(WaitFor([&] { return log.Count() > 20; }, 50ms));
    output->Stop();
    std::lock_guard lock(log.mutex);
    ASSERT_EQ(log.at.size(), 20u) << "the device stopped pulling after 20 calls";
    EXPECT_GE(log.at[0] - started, 100ms);
    EXPECT_GE(log.at[2] - started, 250ms + 2 * 5800us) << "the third call came late";
    // Paced: no call comes before its turn on the schedule (latency, the late
    // call's delay, then one period each). Measured from the start, since a
    // call held up by a busy machine is followed by calls that catch up, so
    // the gap between two calls proves nothing.
    EXPECT_GE(log.at[19] - started, 250ms + 19 * 5800us);
    for (int frames : log.sizes)
        EXPECT_EQ(frames, 256);
}

TEST(NullOutputTest, StopEndsThePullsAndTheOutputStartsAgain) {
    auto output = MakeNullOutput();
    PullLog log;
    ASSERT_TRUE(output->Start(log));
    ASSERT_TRUE(WaitFor([&] { return log.Count() >= 2; }));
    output->Stop();
    const std::size_t stopped_at = log.Count();
    output->Stop(); // twice is harmless
    ASSERT_TRUE(output->Start(log));
    ASSERT_TRUE(WaitFor([&] { return log.Count() >= stopped_at + 2; }));
}

} // namespace
} // namespace lumaro::engine::test
