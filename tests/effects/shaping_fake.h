#pragma once
// The scriptable engine fake, with the shaping calls kept whole: every effect,
// attribute and DSP call with its values, and each effect's parameters as the
// engine would hold them. Thread-safe like the fake it extends.

#include "tests/playback/fake_audio_library.h"

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace lumaro::testing {

struct ShapingCall {
    std::string name; // SetFX, FXGet, FXSet, Attrib, SetDSP, RemoveDSP
    DWORD handle = 0; // stream, or effect for FXGet / FXSet
    DWORD kind = 0;   // effect type, attribute or DSP handle
    std::vector<float> values;
    DSPPROC* proc = nullptr;
    void* user = nullptr;
    int priority = 0;
};

class ShapingFake : public FakeAudioLibrary {
public:
    std::vector<ShapingCall> Shaping() const {
        std::lock_guard lock(m_);
        return calls_;
    }
    void ClearShaping() {
        std::lock_guard lock(m_);
        calls_.clear();
    }
    // Parameter sets that changed an equaliser band's centre or width once set.
    int BandRewrites() const {
        std::lock_guard lock(m_);
        return rewrites_;
    }

    HFX BASS_ChannelSetFX(DWORD h, DWORD type, int priority) override {
        std::lock_guard lock(m_);
        calls_.push_back({"SetFX", h, type, {}, nullptr, nullptr, priority});
        if (h == 0 || (type != BASS_FX_DX8_PARAMEQ && type != BASS_FX_DX8_REVERB)) return 0;
        const HFX fx = nextFx_++;
        Effect& e = effects_[fx];
        e.type = type;
        e.eq = engine::ParamEqLimits::kDefaults;
        e.reverb = engine::ReverbLimits::kDefaults;
        return fx;
    }
    BOOL BASS_FXGetParameters(HFX fx, void* params) override {
        std::lock_guard lock(m_);
        calls_.push_back({"FXGet", fx, 0, {}});
        const auto it = effects_.find(fx);
        if (it == effects_.end()) return 0;
        if (it->second.type == BASS_FX_DX8_PARAMEQ)
            *static_cast<engine::BASS_DX8_PARAMEQ*>(params) = it->second.eq;
        else
            *static_cast<engine::BASS_DX8_REVERB*>(params) = it->second.reverb;
        return kTrue;
    }
    BOOL BASS_FXSetParameters(HFX fx, const void* params) override {
        std::lock_guard lock(m_);
        const auto it = effects_.find(fx);
        ShapingCall call{"FXSet", fx, 0, {}};
        if (it == effects_.end()) {
            calls_.push_back(call);
            return 0;
        }
        Effect& e = it->second;
        if (e.type == BASS_FX_DX8_PARAMEQ) {
            const auto& p = *static_cast<const engine::BASS_DX8_PARAMEQ*>(params);
            call.values = {p.fCenter, p.fBandwidth, p.fGain};
            if (e.set && (p.fCenter != e.eq.fCenter || p.fBandwidth != e.eq.fBandwidth)) ++rewrites_;
            e.eq = p;
        } else {
            const auto& p = *static_cast<const engine::BASS_DX8_REVERB*>(params);
            call.values = {p.fInGain, p.fReverbMix, p.fReverbTime, p.fHighFreqRTRatio};
            e.reverb = p;
        }
        e.set = true;
        calls_.push_back(call);
        return kTrue;
    }
    BOOL BASS_ChannelSetAttribute(DWORD h, DWORD attrib, float value) override {
        std::lock_guard lock(m_);
        calls_.push_back({"Attrib", h, attrib, {value}});
        return h != 0;
    }
    HDSP BASS_ChannelSetDSP(DWORD h, DSPPROC* proc, void* user, int priority) override {
        std::lock_guard lock(m_);
        calls_.push_back({"SetDSP", h, 0, {}, proc, user, priority});
        return h ? nextDsp_++ : 0;
    }
    BOOL BASS_ChannelRemoveDSP(DWORD h, HDSP dsp) override {
        std::lock_guard lock(m_);
        calls_.push_back({"RemoveDSP", h, dsp, {}});
        return kFalse;
    }

private:
    struct Effect {
        DWORD type = 0;
        engine::BASS_DX8_PARAMEQ eq{};
        engine::BASS_DX8_REVERB reverb{};
        bool set = false;
    };
    mutable std::mutex m_;
    std::vector<ShapingCall> calls_;
    std::map<HFX, Effect> effects_;
    HFX nextFx_ = 1000;
    HDSP nextDsp_ = 5000;
    int rewrites_ = 0;
};

} // namespace lumaro::testing
