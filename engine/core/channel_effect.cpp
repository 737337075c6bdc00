#include "engine/core/channel_effect.h"

#include "engine/audio_library.h"

#include <cmath>
#include <mutex>

namespace lumaro::engine::core {
namespace {

// Stand-in until the DSP blocks are linked: keeps the record, leaves the sound.
template <class Params> class ParamsOnly final : public ChannelEffect {
public:
    explicit ParamsOnly(Params defaults) : params_(defaults) {}
    bool SetParameters(const void* params) override {
        std::lock_guard lock(mutex_);
        params_ = *static_cast<const Params*>(params);
        return true;
    }
    void GetParameters(void* params) const override {
        std::lock_guard lock(mutex_);
        *static_cast<Params*>(params) = params_;
    }
    void Process(float*, int) noexcept override {}

private:
    mutable std::mutex mutex_;
    Params params_;
};

} // namespace

std::unique_ptr<ChannelEffect> MakeChannelEffect(std::uint32_t type) {
    if (type == BASS_FX_DX8_PARAMEQ) return std::make_unique<ParamsOnly<BASS_DX8_PARAMEQ>>(BASS_DX8_PARAMEQ{});
    if (type == BASS_FX_DX8_REVERB) return std::make_unique<ParamsOnly<BASS_DX8_REVERB>>(BASS_DX8_REVERB{});
    return nullptr;
}

} // namespace lumaro::engine::core
