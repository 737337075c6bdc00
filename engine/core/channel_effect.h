#pragma once
// An effect on a channel (equaliser band or reverb) as the mixer and the
// parameter calls see it.
#include <cstdint>
#include <memory>

namespace lumaro::engine::core {

class ChannelEffect {
public:
    virtual ~ChannelEffect() = default;
    // Any thread: validates and stores the record of the effect's type; false
    // for a record out of range. Never makes the audio thread wait.
    virtual bool SetParameters(const void* params) = 0;
    // Any thread: the last record stored (a fresh effect's defaults at first).
    virtual void GetParameters(void* params) const = 0;
    // Audio thread: works in place on interleaved stereo frames at 44100 Hz.
    virtual void Process(float* stereo, int frames) noexcept = 0;
};

// type 7 (parametric equaliser band) or 8 (reverb); nullptr for other types.
std::unique_ptr<ChannelEffect> MakeChannelEffect(std::uint32_t type);

} // namespace lumaro::engine::core
