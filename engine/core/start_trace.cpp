#include "engine/core/start_trace.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace lumaro::engine::start_trace {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::array<const char*, 7> kNames = {"requested",     "reply",       "opened",      "buffered",
                                               "first-decoded", "first-mixed", "first-at-sink"};

const bool g_enabled = std::getenv("LUMARO_TRACE_START") != nullptr;
std::atomic<Clock::rep> g_start{0};
std::array<std::atomic<bool>, kNames.size()> g_done{};

} // namespace

void Mark(Stage stage) noexcept {
    if (!g_enabled) return;
    const auto now = Clock::now().time_since_epoch().count();
    const auto index = static_cast<std::size_t>(stage);
    if (stage == Stage::kRequested) {
        g_start = now;
        for (auto& done : g_done)
            done = false;
    } else if (g_done[index].exchange(true)) {
        return;
    }
    const double ms = std::chrono::duration<double, std::milli>(Clock::duration(now - g_start.load())).count();
    std::fprintf(stderr, "start: %s %.1f\n", kNames[index], ms);
}

} // namespace lumaro::engine::start_trace
