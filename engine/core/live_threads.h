#pragma once
// Counts the engine's own detached threads (each stream's thread and its
// download threads) so that shutdown and tests can wait until all have ended.
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace lumaro::engine {

class LiveThreads {
public:
    // Any thread: one more thread runs (call before starting it) / has ended
    // (its last action).
    static void Started() { Change(+1); }
    static void Ended() { Change(-1); }

    // Counts the thread that holds it for its lifetime.
    class Token {
    public:
        Token() { Started(); }
        ~Token() { Ended(); }
        Token(const Token&) = delete;
        Token& operator=(const Token&) = delete;
    };

    static int Count() {
        std::lock_guard lock(Get().mutex);
        return Get().live;
    }
    // True when every counted thread has ended within the time-out.
    static bool WaitUntilNone(std::chrono::milliseconds timeout) {
        Shared& s = Get();
        std::unique_lock lock(s.mutex);
        return s.changed.wait_for(lock, timeout, [&] { return s.live == 0; });
    }

private:
    struct Shared {
        std::mutex mutex;
        std::condition_variable changed;
        int live = 0; // mutex
    };
    // Never destroyed: a detached thread may end after static destruction began.
    static Shared& Get() {
        static auto* shared = new Shared;
        return *shared;
    }
    static void Change(int delta) {
        Shared& s = Get();
        std::lock_guard lock(s.mutex);
        s.live += delta;
        s.changed.notify_all();
    }
};

} // namespace lumaro::engine
