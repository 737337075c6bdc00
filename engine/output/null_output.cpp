// An output without a device for tests: a thread of its own pulls one period
// per period of wall time and throws the sound away, misbehaving on request.
#include "engine/core/ffmpeg_decoder.h"
#include "engine/output/audio_output.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace lumaro::engine {
namespace {

using Clock = std::chrono::steady_clock;

class NullOutput final : public AudioOutput {
public:
    explicit NullOutput(NullOutputKnobs knobs) : knobs_(knobs) {
        if (knobs_.period_frames <= 0) knobs_.period_frames = 1024;
    }
    ~NullOutput() override { Stop(); }

    bool Start(RenderSource& source) override {
        Stop();
        {
            std::lock_guard lock(mutex_);
            stopping_ = false;
        }
        thread_ = std::thread([this, &source] { Run(source); });
        return true;
    }

    void Stop() override {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable()) thread_.join();
    }

    const char* Name() const override { return "null"; }

private:
    // Output thread: the device's pull loop.
    void Run(RenderSource& source) {
        std::vector<float> block(static_cast<std::size_t>(knobs_.period_frames) * core::kOutputChannels);
        const auto period = std::chrono::microseconds(1'000'000LL * knobs_.period_frames / core::kOutputRate);
        auto next = Clock::now() + std::chrono::milliseconds(knobs_.start_latency_ms);
        for (std::uint64_t call = 1;; ++call) {
            if (knobs_.late_call_index == call) next += std::chrono::milliseconds(knobs_.late_call_ms);
            {
                std::unique_lock lock(mutex_);
                if (wake_.wait_until(lock, next, [&] { return stopping_; })) return;
            }
            if (knobs_.stop_after_calls != 0 && call > knobs_.stop_after_calls) {
                // The broken end of stream: the device no longer pulls.
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [&] { return stopping_; });
                return;
            }
            source.Render(block.data(), knobs_.period_frames);
            next += period;
        }
    }

    NullOutputKnobs knobs_; // never changes after construction
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false; // mutex_
    std::thread thread_;    // caller's thread
};

} // namespace

std::unique_ptr<AudioOutput> MakeNullOutput(NullOutputKnobs knobs) {
    return std::make_unique<NullOutput>(knobs);
}

} // namespace lumaro::engine
