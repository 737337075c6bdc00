// The caller's callbacks run on the engine's callback thread: a window that
// is slow to answer them delays titles, never the sound, and freeing the
// engine from the window never deadlocks with a callback waiting for it.
#include "tests/engine/engine_fixture.h"

#include <atomic>
#include <deque>
#include <future>
#include <regex>
#include <thread>

namespace lumaro::engine::test {
namespace {

using namespace std::chrono_literals;

// A window's thread: runs tasks one at a time, in order. Call() is the
// blocking queued call a callback makes into it.
class FakeWindow {
public:
    FakeWindow() : thread_([this] { Run(); }) {}
    ~FakeWindow() {
        Post({});
        thread_.join();
    }
    void Post(std::function<void()> task) {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
        changed_.notify_all();
    }
    void Call(const std::function<void()>& task) {
        std::promise<void> done;
        Post([&] {
            task();
            done.set_value();
        });
        done.get_future().wait();
    }

private:
    void Run() {
        for (;;) {
            std::function<void()> task;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return !tasks_.empty(); });
                task = std::move(tasks_.front());
                tasks_.pop_front();
            }
            if (!task) return;
            task();
        }
    }
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> tasks_; // mutex_
    std::thread thread_;
};

struct Shown {
    AudioEngine* engine;
    FakeWindow* window;
    Recorder titles;             // what the window showed, in order
    std::atomic<int> calling{0}; // callbacks that began their call into the window
};

void ShowTitle(HSYNC, DWORD channel, DWORD, void* user) {
    // Callback thread: reads the newest title and waits until the window took it.
    auto* shown = static_cast<Shown*>(user);
    const char* meta = shown->engine->BASS_ChannelGetTags(channel, BASS_TAG_META);
    const std::string title = meta ? meta : "(null)";
    ++shown->calling;
    shown->window->Call([&] { shown->titles.Add(title); });
}

int TitleNumber(const std::string& meta) {
    std::smatch m;
    return std::regex_search(meta, m, std::regex("Song (\\d+)")) ? std::stoi(m[1]) : -1;
}

// The window outlives the engine: it is freed in TearDown, before the members go.
class CallbackThreadTest : public EngineTest {
protected:
    // Plays a live ICY stream at 192 kbps whose titles "Song 1" ... change
    // every 4800 bytes (200 ms of sound), served twice as fast as it plays so
    // the buffers fill; then the engine sets the pace. Each title reaches the
    // window through ShowTitle.
    HSTREAM PlayTitledStream(int titles, double seconds) {
        StartNull();
        std::vector<std::string> blocks;
        for (int i = 1; i <= titles; ++i)
            blocks.push_back("StreamTitle='Song " + std::to_string(i) + "';");
        const std::string url = ServeLiveIcy("/live", {"content-type:audio/mpeg"}, 4800,
                                             MakeMp3("0.3*sin(2*PI*440*t)", "0.3*sin(2*PI*440*t)", seconds),
                                             blocks, 4800, std::chrono::milliseconds(100));
        const HSTREAM h = Open(url);
        EXPECT_NE(engine.BASS_ChannelSetSync(h, BASS_SYNC_META, 0, &ShowTitle, &shown), 0u);
        EXPECT_TRUE(engine.BASS_ChannelPlay(h, kFalse));
        return h;
    }

    FakeWindow window;
    Shown shown{&engine, &window, {}};
};

TEST_F(CallbackThreadTest, AWindowHeldThreeSecondsNeitherStopsTheSoundNorLosesTitles) {
    // More than the download buffer and the decoded second together play out in 3 s.
    const HSTREAM h = PlayTitledStream(60, 13.0);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(shown.titles.WaitForCount(3));
    ASSERT_TRUE(WaitFor([&] { return engine.BASS_ChannelGetLevel(h) != ~DWORD{0}; }));

    // The window is busy for 3 s while titles keep coming.
    const std::uint64_t underruns_before = engine.UnderrunCount();
    std::promise<void> held;
    std::uint64_t blocks_at_start = 0, blocks_at_end = 0;
    std::size_t shown_at_start = 0, shown_at_end = 0;
    window.Post([&] {
        blocks_at_start = engine.MixedBlocks();
        shown_at_start = shown.titles.Items().size();
        std::this_thread::sleep_for(3s); // the busy window itself, not a wait for an event
        blocks_at_end = engine.MixedBlocks();
        shown_at_end = shown.titles.Items().size();
        held.set_value();
    });
    held.get_future().wait();
    const std::size_t arrived_by_end = static_cast<std::size_t>(TitleNumber(
        engine.BASS_ChannelGetTags(h, BASS_TAG_META) ? engine.BASS_ChannelGetTags(h, BASS_TAG_META) : ""));

    // The sound went on (a device block is 23 ms: about 130 in 3 s) without a gap.
    EXPECT_GT(blocks_at_end - blocks_at_start, 60u);
    EXPECT_EQ(engine.UnderrunCount(), underruns_before);
    EXPECT_EQ(engine.UnderrunCount(), 0u);
    EXPECT_EQ(shown_at_end, shown_at_start) << "nothing reached the busy window";
    EXPECT_GT(arrived_by_end, shown_at_start + 5) << "titles kept arriving during the hold";

    // Afterwards every title that arrived reaches the window, in order.
    ASSERT_TRUE(shown.titles.WaitForCount(arrived_by_end));
    const auto titles = shown.titles.Items();
    for (std::size_t i = 1; i < titles.size(); ++i)
        EXPECT_LE(TitleNumber(titles[i - 1]), TitleNumber(titles[i])) << i;
    EXPECT_GE(TitleNumber(titles.back()), static_cast<int>(arrived_by_end));
    EXPECT_EQ(engine.UnderrunCount(), 0u);
}

TEST_F(CallbackThreadTest, FreeingFromTheWindowWhileACallbackWaitsForItReturns) {
    ASSERT_NE(PlayTitledStream(40, 8.0), 0u);
    ASSERT_TRUE(shown.titles.WaitForCount(1));

    // The window frees the engine while a title callback waits for the
    // window, which must not wait for it back.
    std::promise<void> freed;
    window.Post([&] {
        const int before = shown.calling.load();
        // A title callback now waits for this very task to end.
        EXPECT_TRUE(WaitFor([&] { return shown.calling.load() > before; }));
        engine.BASS_Free();
        freed.set_value();
    });
    EXPECT_EQ(freed.get_future().wait_for(30s), std::future_status::ready);
    const std::size_t count = shown.titles.Items().size();
    // Nothing is delivered for a freed engine beyond what was under way.
    window.Call([] {});
    EXPECT_LE(shown.titles.Items().size(), count + 1);
}

} // namespace
} // namespace lumaro::engine::test
