// Placeholder until the libpulse driver lands: no PulseAudio output yet.
#include "engine/output/audio_output.h"

namespace lumaro::engine {

std::unique_ptr<AudioOutput> MakePulseOutput() {
    return nullptr;
}

} // namespace lumaro::engine
