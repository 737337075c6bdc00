// SDL2 output: SDL's audio thread (the output thread) pulls 1024-frame device blocks.
#include "engine/audio_library.h"
#include "engine/core/ffmpeg_decoder.h"
#include "engine/output/audio_output.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace lumaro::engine {
namespace {

// Device block: 23 ms at 44100 Hz, so how soon a change of an effect reaches
// the output queue.
constexpr int kDeviceFrames = 1024;
// Larger device requests are rendered in pieces of at most this many frames.
constexpr int kRenderFrames = 2048;
// Audio queued at a PulseAudio server, in ms. SDL's PulseAudio backend asks
// for one device block in all, split between our stream and the sink, so a
// server or an SDL thread held up for longer on a busy machine was heard as a
// gap. libpulse takes the whole depth from PULSE_LATENCY_MSEC; 150 ms is about
// what other players keep. A value the user set wins.
constexpr const char* kPulseLatencyMs = "150";

class SdlOutput final : public AudioOutput {
public:
    ~SdlOutput() override { Stop(); }

    bool Start(RenderSource& source) override {
        source_ = &source;
        // SDL would otherwise turn SIGINT and SIGTERM into events nobody reads.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        SDL_AudioSpec want{};
        want.freq = core::kOutputRate;
        want.format = AUDIO_F32SYS;
        want.channels = core::kOutputChannels;
        want.samples = kDeviceFrames;
        want.callback = &SdlOutput::Callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (device_ == 0) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        SDL_PauseAudioDevice(device_, 0);
        return true;
    }

    void Stop() override {
        if (device_ == 0) return;
        // Closing waits for the current callback only.
        SDL_CloseAudioDevice(device_);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        device_ = 0;
    }

    const char* Name() const override { return "sdl"; }

private:
    static void SDLCALL Callback(void* user, Uint8* stream, int len) {
        // Output thread (SDL's audio thread).
        auto* self = static_cast<SdlOutput*>(user);
        auto* out = reinterpret_cast<float*>(stream);
        int frames = len / static_cast<int>(sizeof(float) * core::kOutputChannels);
        while (frames > 0) {
            const int n = std::min(frames, kRenderFrames);
            self->source_->Render(out, n);
            out += n * core::kOutputChannels;
            frames -= n;
        }
    }

    RenderSource* source_ = nullptr; // set before the device starts
    SDL_AudioDeviceID device_ = 0;   // caller's thread
};

} // namespace

void PrepareAudioOutput() {
    // Read by libpulse when SDL's output connects. Our own PulseAudio output
    // sets its buffer itself, and libpulse would let this variable override
    // it, so it is only set where SDL is chosen by name. A value the user set
    // wins, and once set nothing is written again.
    const char* output = std::getenv("LUMARO_AUDIO_OUTPUT");
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    const bool sdl =
        (output && std::strcmp(output, "sdl") == 0) || (!(output && *output) && driver && *driver);
    if (sdl && !std::getenv("PULSE_LATENCY_MSEC")) setenv("PULSE_LATENCY_MSEC", kPulseLatencyMs, 0);
}

std::unique_ptr<AudioOutput> MakeSdlOutput() {
    return std::make_unique<SdlOutput>();
}

} // namespace lumaro::engine
