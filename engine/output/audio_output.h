#pragma once
// The seam between the mixer and a sound device. A driver owns the thread (or
// the server's callback) that pulls mixed audio; the engine only hands it a
// render function and starts or stops it. Every driver plays interleaved
// stereo float at kOutputRate and converts on its own if the device differs.
#include <cstdint>
#include <memory>
#include <string>

namespace lumaro::engine {

// Fills `frames` frames of interleaved stereo float. Called on the driver's
// thread only, never concurrently with itself; it must not block for long.
class RenderSource {
public:
    virtual ~RenderSource() = default;
    virtual void Render(float* out, int frames) noexcept = 0;
};

class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // Opens the device and starts pulling from `source`. False when no device
    // could be opened; the output is then unusable.
    virtual bool Start(RenderSource& source) = 0;
    // Returns once Render is not running and will not be called again.
    virtual void Stop() = 0;
    // "pulse", "sdl" or "null", for figures and logs.
    virtual const char* Name() const = 0;
    // Times the device ran dry after playing had started and filled the gap
    // with silence of its own; 0 from drivers that cannot tell. Any thread.
    virtual std::uint64_t DeviceUnderruns() const { return 0; }
};

// Test steering of the null output: it paces itself like a real device (one
// period per period of wall time) and can misbehave on purpose.
struct NullOutputKnobs {
    int period_frames = 1024;          // frames pulled per call
    int start_latency_ms = 0;          // before the first call
    std::uint64_t late_call_index = 0; // this call (1-based) comes late; 0: never
    int late_call_ms = 0;              // by this much
    std::uint64_t stop_after_calls = 0; // the device stops pulling after this many; 0: never
};

// libpulse's asynchronous API; null when no PulseAudio (or PipeWire-Pulse)
// server answers.
std::unique_ptr<AudioOutput> MakePulseOutput();
std::unique_ptr<AudioOutput> MakeSdlOutput();
std::unique_ptr<AudioOutput> MakeNullOutput(NullOutputKnobs knobs = {});

// The output the engine uses when none is given: LUMARO_AUDIO_OUTPUT
// ("pulse", "sdl", "null") if set; SDL when SDL_AUDIODRIVER names a driver;
// else PulseAudio when a server answers, else SDL.
std::unique_ptr<AudioOutput> MakeDefaultOutput();

} // namespace lumaro::engine
