// PulseAudio output (also PipeWire's Pulse server) on libpulse's threaded
// main loop. The server asks for data in small requests; each is rendered
// straight into the server's buffer. A short target length keeps the sound
// close to the mixer, and a prebuffer of one request lets playback start, and
// start again after an underrun, as soon as one request is written.
#include "engine/core/ffmpeg_decoder.h"
#include "engine/core/start_trace.h"
#include "engine/output/audio_output.h"

#include <pulse/pulseaudio.h>

#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace lumaro::engine {
namespace {

constexpr std::size_t kFrameBytes = sizeof(float) * core::kOutputChannels;
// Sink plus stream buffer: the usual depth kept queued.
constexpr int kTargetMs = 150;
// One server request; playback (re)starts once this much is written.
constexpr int kRequestMs = 20;
// Longest wait for the server to answer a connect or a new stream.
constexpr pa_usec_t kAnswerTimeoutUs = 3 * PA_USEC_PER_SEC;
// -40 dBFS: where silence ends for the start-up mark and the queue tracking.
constexpr float kSoundLevel = 0.01f;

constexpr std::uint32_t BytesFor(int ms) {
    return static_cast<std::uint32_t>(static_cast<std::size_t>(core::kOutputRate) * ms / 1000 * kFrameBytes);
}

bool HasSound(const float* samples, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        if (std::fabs(samples[i]) >= kSoundLevel) return true;
    return false;
}

class PulseOutput final : public AudioOutput {
public:
    ~PulseOutput() override;
    // Starts the main loop and connects to the server; false when none
    // answers within kAnswerTimeoutUs.
    bool Connect();
    bool Start(RenderSource& source) override;
    // Not from the server's thread (that is, not from inside Render).
    void Stop() override;
    const char* Name() const override { return "pulse"; }
    std::uint64_t DeviceUnderruns() const override { return underflows_.load(std::memory_order_relaxed); }

private:
    // Waits, loop lock held, until done() or the answer time-out.
    template <typename Done> bool WaitFor(Done done);
    void OnWrite(std::size_t bytes);
    void OnSoundWritten();

    static void Signal(void* self);
    static void ContextState(pa_context*, void* self) { Signal(self); }
    static void StreamState(pa_stream*, void* self) { Signal(self); }
    static void StreamWrite(pa_stream*, std::size_t bytes, void* self) {
        static_cast<PulseOutput*>(self)->OnWrite(bytes);
    }
    static void StreamUnderflow(pa_stream*, void* self) {
        static_cast<PulseOutput*>(self)->underflows_.fetch_add(1, std::memory_order_relaxed);
    }
    static void TimedOut(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self);
    static void SinkTiming(pa_stream*, int success, void* self);
    static void SoundAtSink(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self);

    pa_threaded_mainloop* loop_ = nullptr; // set by Connect, then unchanged
    pa_context* context_ = nullptr;        // set by Connect, then unchanged
    pa_stream* stream_ = nullptr;          // loop lock
    RenderSource* source_ = nullptr;       // loop lock; null while stopped
    bool timed_out_ = false;               // loop lock
    // Bytes of silence written since the last sound; the whole queue is silent
    // once they reach the target length. Loop thread.
    std::uint64_t silent_bytes_ = 0;
    pa_usec_t sound_written_at_ = 0;         // loop thread
    pa_time_event* sound_at_sink_ = nullptr; // loop lock
    std::atomic<std::uint64_t> underflows_{0};
};

void PulseOutput::Signal(void* self) {
    // Server's thread.
    pa_threaded_mainloop_signal(static_cast<PulseOutput*>(self)->loop_, 0);
}

void PulseOutput::TimedOut(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* self) {
    // Server's thread.
    auto* out = static_cast<PulseOutput*>(self);
    out->timed_out_ = true;
    pa_threaded_mainloop_signal(out->loop_, 0);
}

template <typename Done> bool PulseOutput::WaitFor(Done done) {
    timed_out_ = false;
    pa_time_event* timer =
        pa_context_rttime_new(context_, pa_rtclock_now() + kAnswerTimeoutUs, &PulseOutput::TimedOut, this);
    bool ok;
    while (!(ok = done()) && !timed_out_) {
        const bool failed = pa_context_get_state(context_) == PA_CONTEXT_FAILED ||
                            pa_context_get_state(context_) == PA_CONTEXT_TERMINATED ||
                            (stream_ && (pa_stream_get_state(stream_) == PA_STREAM_FAILED ||
                                         pa_stream_get_state(stream_) == PA_STREAM_TERMINATED));
        if (failed) break;
        pa_threaded_mainloop_wait(loop_);
    }
    if (timer) pa_threaded_mainloop_get_api(loop_)->time_free(timer);
    return ok;
}

bool PulseOutput::Connect() {
    loop_ = pa_threaded_mainloop_new();
    if (!loop_) return false;
    context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Lumaro Radio");
    if (!context_) return false;
    pa_context_set_state_callback(context_, &PulseOutput::ContextState, this);
    // No server started on our behalf: where none runs, another output plays.
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) return false;
    if (pa_threaded_mainloop_start(loop_) < 0) return false;
    pa_threaded_mainloop_lock(loop_);
    const bool ready = WaitFor([this] { return pa_context_get_state(context_) == PA_CONTEXT_READY; });
    pa_threaded_mainloop_unlock(loop_);
    return ready;
}

PulseOutput::~PulseOutput() {
    if (!loop_) return;
    Stop();
    pa_threaded_mainloop_stop(loop_);
    if (context_) {
        pa_context_set_state_callback(context_, nullptr, nullptr);
        pa_context_disconnect(context_);
        pa_context_unref(context_);
    }
    pa_threaded_mainloop_free(loop_);
}

bool PulseOutput::Start(RenderSource& source) {
    Stop();
    pa_threaded_mainloop_lock(loop_);
    if (pa_context_get_state(context_) != PA_CONTEXT_READY) {
        pa_threaded_mainloop_unlock(loop_);
        return false;
    }
    pa_sample_spec spec{};
    spec.format = PA_SAMPLE_FLOAT32NE;
    spec.rate = core::kOutputRate;
    spec.channels = core::kOutputChannels;
    pa_channel_map map;
    pa_channel_map_init_stereo(&map);
    stream_ = pa_stream_new(context_, "Radio", &spec, &map);
    if (!stream_) {
        pa_threaded_mainloop_unlock(loop_);
        return false;
    }
    source_ = &source;
    silent_bytes_ = UINT64_MAX;
    pa_stream_set_state_callback(stream_, &PulseOutput::StreamState, this);
    pa_stream_set_write_callback(stream_, &PulseOutput::StreamWrite, this);
    pa_stream_set_underflow_callback(stream_, &PulseOutput::StreamUnderflow, this);
    pa_buffer_attr attr{};
    attr.maxlength = UINT32_MAX;
    attr.tlength = BytesFor(kTargetMs);
    attr.prebuf = BytesFor(kRequestMs);
    attr.minreq = BytesFor(kRequestMs);
    attr.fragsize = UINT32_MAX;
    const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY);
    bool ready = pa_stream_connect_playback(stream_, nullptr, &attr, flags, nullptr, nullptr) == 0 &&
                 WaitFor([this] { return pa_stream_get_state(stream_) == PA_STREAM_READY; });
    pa_threaded_mainloop_unlock(loop_);
    if (!ready) Stop();
    return ready;
}

void PulseOutput::Stop() {
    if (!loop_) return;
    // Render runs only inside the loop, under its lock: once we hold it and
    // the stream is gone, Render is not running and is never called again.
    pa_threaded_mainloop_lock(loop_);
    source_ = nullptr;
    if (sound_at_sink_) {
        pa_threaded_mainloop_get_api(loop_)->time_free(sound_at_sink_);
        sound_at_sink_ = nullptr;
    }
    if (stream_) {
        pa_stream_set_write_callback(stream_, nullptr, nullptr);
        pa_stream_set_underflow_callback(stream_, nullptr, nullptr);
        pa_stream_set_state_callback(stream_, nullptr, nullptr);
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
        stream_ = nullptr;
    }
    pa_threaded_mainloop_unlock(loop_);
}

void PulseOutput::OnWrite(std::size_t bytes) {
    // Server's thread, loop lock held: the server wants `bytes` more.
    const std::uint64_t queue_bytes = BytesFor(kTargetMs);
    while (source_ && bytes >= kFrameBytes) {
        void* data = nullptr;
        std::size_t size = bytes;
        if (pa_stream_begin_write(stream_, &data, &size) < 0 || !data) return;
        size = std::min(size, bytes);
        size -= size % kFrameBytes;
        if (size == 0) {
            pa_stream_cancel_write(stream_);
            return;
        }
        auto* samples = static_cast<float*>(data);
        source_->Render(samples, static_cast<int>(size / kFrameBytes));
        const bool sound = HasSound(samples, size / sizeof(float));
        // Sound after a queue of silence replaces that silence instead of
        // waiting behind it: it starts as soon as the sink takes it.
        const bool jump = sound && silent_bytes_ >= queue_bytes;
        if (pa_stream_write(stream_, data, size, nullptr, 0,
                            jump ? PA_SEEK_RELATIVE_ON_READ : PA_SEEK_RELATIVE) < 0)
            return;
        bytes -= size;
        if (!sound) {
            silent_bytes_ = silent_bytes_ > UINT64_MAX - size ? UINT64_MAX : silent_bytes_ + size;
        } else {
            silent_bytes_ = 0;
            if (jump) OnSoundWritten();
        }
    }
}

void PulseOutput::OnSoundWritten() {
    // Server's thread, loop lock held. The sound written at the read index is
    // heard after the sink's own latency: ask the server for it.
    sound_written_at_ = pa_rtclock_now();
    if (pa_operation* op = pa_stream_update_timing_info(stream_, &PulseOutput::SinkTiming, this))
        pa_operation_unref(op);
}

void PulseOutput::SinkTiming(pa_stream* stream, int success, void* self) {
    // Server's thread.
    auto* out = static_cast<PulseOutput*>(self);
    const pa_timing_info* timing = success ? pa_stream_get_timing_info(stream) : nullptr;
    if (!timing || !out->source_) return;
    const pa_usec_t at = out->sound_written_at_ + timing->sink_usec + timing->transport_usec;
    if (out->sound_at_sink_) pa_threaded_mainloop_get_api(out->loop_)->time_free(out->sound_at_sink_);
    out->sound_at_sink_ = pa_context_rttime_new(out->context_, at, &PulseOutput::SoundAtSink, out);
}

void PulseOutput::SoundAtSink(pa_mainloop_api* api, pa_time_event* event, const struct timeval*, void* self) {
    // Server's thread.
    auto* out = static_cast<PulseOutput*>(self);
    start_trace::Mark(start_trace::Stage::kFirstAtSink);
    api->time_free(event);
    out->sound_at_sink_ = nullptr;
}

} // namespace

std::unique_ptr<AudioOutput> MakePulseOutput() {
    auto out = std::make_unique<PulseOutput>();
    if (!out->Connect()) return nullptr;
    return out;
}

} // namespace lumaro::engine
