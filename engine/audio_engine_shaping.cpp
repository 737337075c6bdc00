// The facade's calls that shape a stream's sound and record it: effects,
// DSP callbacks, attributes and encoders.
#include "engine/core/engine_errors.h"
#include "engine/engine_state.h"

namespace lumaro::engine {

HFX AudioEngine::BASS_ChannelSetFX(DWORD handle, DWORD type, int priority) {
    return state_->FindOr(handle, HFX{0}, [&](const std::shared_ptr<Channel>& ch) {
        FxEntry entry;
        std::shared_ptr<DspUnit> unit;
        if (type == BASS_FX_DX8_PARAMEQ)
            unit = entry.eq = std::make_shared<ParametricEqualizer>();
        else if (type == BASS_FX_DX8_REVERB)
            unit = entry.reverb = std::make_shared<Reverb>();
        else
            return Fail(BASS_ERROR_ILLTYPE, HFX{0});
        if (ch->chain.add(unit, priority) == 0) return Fail(BASS_ERROR_MEM, HFX{0});
        const HFX fx = NextHandle();
        std::lock_guard lock(state_->handles_mutex);
        state_->fxs[fx] = {ch, entry};
        return Done(fx);
    });
}

BOOL AudioEngine::BASS_FXGetParameters(HFX handle, void* params) {
    const auto entry = state_->FindFx(handle);
    if (!entry) return kFalse;
    if (!params) return Fail(BASS_ERROR_ILLPARAM, kFalse);
    if (entry->eq)
        *static_cast<BASS_DX8_PARAMEQ*>(params) = entry->eq->parameters();
    else
        *static_cast<BASS_DX8_REVERB*>(params) = entry->reverb->parameters();
    return Ok();
}

BOOL AudioEngine::BASS_FXSetParameters(HFX handle, const void* params) {
    const auto entry = state_->FindFx(handle);
    if (!entry) return kFalse;
    if (!params) return Fail(BASS_ERROR_ILLPARAM, kFalse);
    const bool ok = entry->eq ? entry->eq->setParameters(*static_cast<const BASS_DX8_PARAMEQ*>(params))
                              : entry->reverb->setParameters(*static_cast<const BASS_DX8_REVERB*>(params));
    return ok ? Ok() : Fail(BASS_ERROR_ILLPARAM, kFalse);
}

BOOL AudioEngine::BASS_ChannelSetAttribute(DWORD handle, DWORD attrib, float value) {
    return state_->FindOr(handle, kFalse, [&](const std::shared_ptr<Channel>& ch) {
        bool ok;
        switch (attrib) {
        case BASS_ATTRIB_VOL:
            ok = ch->gain_pan.setVolume(value);
            break;
        case BASS_ATTRIB_PAN:
            ok = ch->gain_pan.setPan(value);
            break;
        default:
            return Fail(BASS_ERROR_ILLTYPE, kFalse);
        }
        return ok ? Ok() : Fail(BASS_ERROR_ILLPARAM, kFalse);
    });
}

HDSP AudioEngine::BASS_ChannelSetDSP(DWORD handle, DSPPROC* proc, void* user, int priority) {
    return state_->FindOr(handle, HDSP{0}, [&](const std::shared_ptr<Channel>& ch) {
        if (!proc) return Fail(BASS_ERROR_ILLPARAM, HDSP{0});
        const HDSP dsp = NextHandle();
        const DWORD channel = ch->handle;
        auto unit = std::make_shared<FunctionUnit>([dsp, channel, proc, user](float* block, int frames) {
            // Output thread.
            proc(dsp, channel, block, static_cast<DWORD>(frames) * core::kOutputChannels * sizeof(float),
                 user);
        });
        const DspChain::Id id = ch->chain.add(std::move(unit), priority);
        if (id == 0) return Fail(BASS_ERROR_MEM, HDSP{0});
        std::lock_guard lock(state_->handles_mutex);
        state_->dsps[dsp] = {ch, id};
        return Done(dsp);
    });
}

BOOL AudioEngine::BASS_ChannelRemoveDSP(DWORD handle, HDSP dsp) {
    return state_->FindOr(handle, kFalse, [&](const std::shared_ptr<Channel>& ch) {
        DspChain::Id id = 0;
        {
            std::lock_guard lock(state_->handles_mutex);
            auto it = state_->dsps.find(dsp);
            if (it == state_->dsps.end() || it->second.first.lock() != ch)
                return Fail(BASS_ERROR_HANDLE, kFalse);
            id = it->second.second;
            state_->dsps.erase(it);
        }
        ch->chain.remove(id);
        return Ok();
    });
}

HENCODE AudioEngine::BASS_Encode_Start(DWORD handle, const char* cmdline, DWORD, ENCODEPROC* proc, void*) {
    return state_->FindOr(handle, HENCODE{0}, [&](const std::shared_ptr<Channel>& ch) {
        if (!cmdline || !*cmdline || proc) return Fail(BASS_ERROR_ILLPARAM, HENCODE{0});
        auto process = std::make_shared<EncoderProcess>();
        const int rc = process->start(cmdline, core::kOutputRate, core::kOutputChannels);
        if (rc != engine_error::kOk) return Fail(rc, HENCODE{0});
        const HENCODE encoder = NextHandle();
        if (!state_->mixer.AddEncoder(*ch, {encoder, process})) {
            process->stop();
            return Fail(BASS_ERROR_HANDLE, HENCODE{0});
        }
        return Done(encoder);
    });
}

BOOL AudioEngine::BASS_Encode_Stop(DWORD handle) {
    // A channel handle stops all of its encoders; an encoder handle just that one.
    std::vector<std::shared_ptr<Channel>> channels;
    HENCODE only = 0;
    {
        std::lock_guard lock(state_->handles_mutex);
        if (auto it = state_->channels.find(handle); it != state_->channels.end()) {
            channels.push_back(it->second);
        } else {
            only = handle;
            for (auto& [h, ch] : state_->channels)
                channels.push_back(ch);
        }
    }
    std::vector<std::shared_ptr<EncoderProcess>> stopped;
    for (auto& ch : channels)
        for (auto& p : state_->mixer.TakeEncoders(*ch, only))
            stopped.push_back(std::move(p));
    if (only && stopped.empty()) return Fail(BASS_ERROR_HANDLE, kFalse);
    for (auto& p : stopped)
        p->stop(); // returns at once; the writer thread reaps the program
    return Ok();
}

} // namespace lumaro::engine
