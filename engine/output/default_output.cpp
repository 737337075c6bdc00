// The output chosen when the caller names none.
#include "engine/output/audio_output.h"

#include <cstdlib>
#include <cstring>

namespace lumaro::engine {

std::unique_ptr<AudioOutput> MakeDefaultOutput() {
    if (const char* name = std::getenv("LUMARO_AUDIO_OUTPUT"); name && *name) {
        if (std::strcmp(name, "null") == 0) return MakeNullOutput();
        if (std::strcmp(name, "sdl") == 0) return MakeSdlOutput();
        if (std::strcmp(name, "pulse") == 0) return MakePulseOutput();
    }
    if (const char* driver = std::getenv("SDL_AUDIODRIVER"); driver && *driver) return MakeSdlOutput();
    if (auto pulse = MakePulseOutput()) return pulse;
    return MakeSdlOutput();
}

} // namespace lumaro::engine
