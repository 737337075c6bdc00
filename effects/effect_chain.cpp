#include "effects/effect_chain.h"

#include <algorithm>
#include <cstdint>

namespace lumaro {

using namespace engine;

namespace {

constexpr size_t Index(TEffectKnob knob) {
    return static_cast<size_t>(knob);
}

// The channel count rides in the DSP's user value, so the audio thread needs
// no shared state that could change or vanish under it.
void* ChannelsAsUser(DWORD channels) {
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(channels));
}

} // namespace

TKnobRange KnobRange(TEffectKnob knob) {
    switch (knob) {
    case TEffectKnob::Bass:
    case TEffectKnob::Middle:
    case TEffectKnob::Treble:
        return {-20, 20, 0};
    case TEffectKnob::Reverb:
        return {-150, 0, -150};
    case TEffectKnob::Volume:
        return {0, 100, 50};
    case TEffectKnob::Pan:
        return {-100, 100, 0};
    }
    return {0, 0, 0};
}

float BandGainFromKnob(int position) {
    return static_cast<float>(position / 2); // integer division truncates toward zero
}

float ReverbMixFromKnob(int position) {
    const float mix = static_cast<float>(position) / 10.0f;
    return mix < -14.0f ? -96.0f : mix;
}

float VolumeFromKnob(int position) {
    return static_cast<float>(position) / 100.0f;
}

float PanFromKnob(int position) {
    return static_cast<float>(position) / 100.0f;
}

TEffectChain::TEffectChain(AudioLibrary& library, const TPlayerState& state, TEffectView& view)
    : library_(library), state_(state), view_(view) {
    for (int k = 0; k < kEffectKnobCount; ++k)
        positions_[static_cast<size_t>(k)] = KnobRange(static_cast<TEffectKnob>(k)).Initial;
}

void TEffectChain::ApplyEffectChain(HSTREAM stream) {
    DWORD channels;
    {
        std::lock_guard stateLock(state_.Lock);
        channels = state_.ChannelInfo.chans;
    }
    std::lock_guard lock(lock_);
    handles_.BassFx = library_.BASS_ChannelSetFX(stream, BASS_FX_DX8_PARAMEQ, 1);
    handles_.MiddleFx = library_.BASS_ChannelSetFX(stream, BASS_FX_DX8_PARAMEQ, 1);
    handles_.TrebleFx = library_.BASS_ChannelSetFX(stream, BASS_FX_DX8_PARAMEQ, 1);
    handles_.ReverbFx = library_.BASS_ChannelSetFX(stream, BASS_FX_DX8_REVERB, 1);

    EqParams.fBandwidth = kBandWidth;
    const std::pair<HFX, float> bands[] = {{handles_.BassFx, kBassCenter},
                                           {handles_.MiddleFx, kMiddleCenter},
                                           {handles_.TrebleFx, kTrebleCenter}};
    const TEffectKnob bandKnobs[] = {TEffectKnob::Bass, TEffectKnob::Middle, TEffectKnob::Treble};
    for (size_t i = 0; i < 3; ++i) {
        EqParams.fCenter = bands[i].second;
        EqParams.fGain = BandGainFromKnob(positions_[Index(bandKnobs[i])]);
        library_.BASS_FXSetParameters(bands[i].first, &EqParams);
    }

    // Picks up the fresh effect's input gain, which stays as it is.
    library_.BASS_FXGetParameters(handles_.ReverbFx, &ReverbParams);
    ReverbParams.fReverbMix = ReverbMixFromKnob(positions_[Index(TEffectKnob::Reverb)]);
    ReverbParams.fReverbTime = kReverbTime;
    ReverbParams.fHighFreqRTRatio = kReverbHighRatio;
    library_.BASS_FXSetParameters(handles_.ReverbFx, &ReverbParams);

    const float volume = VolumeFromKnob(positions_[Index(TEffectKnob::Volume)]);
    library_.BASS_ChannelSetAttribute(stream, BASS_ATTRIB_VOL, volume);
    library_.BASS_ChannelSetAttribute(stream, BASS_ATTRIB_PAN,
                                      PanFromKnob(positions_[Index(TEffectKnob::Pan)]));

    if (mono_)
        handles_.MonoDsp = library_.BASS_ChannelSetDSP(stream, &MonoDspProc, ChannelsAsUser(channels), 0);
    else
        library_.BASS_ChannelRemoveDSP(stream, handles_.MonoDsp); // finds nothing on a new stream

    library_.BASS_ChannelSetAttribute(stream, BASS_ATTRIB_VOL, mute_ ? 0.0f : volume);
}

int TEffectChain::Position(TEffectKnob knob) const {
    std::lock_guard lock(lock_);
    return positions_[Index(knob)];
}

bool TEffectChain::SetKnobPosition(TEffectKnob knob, int position) {
    const TKnobRange range = KnobRange(knob);
    position = std::clamp(position, range.Minimum, range.Maximum);
    {
        std::lock_guard lock(lock_);
        if (positions_[Index(knob)] == position) return false;
        positions_[Index(knob)] = position;
        SendKnob(knob, position);
    }
    view_.ShowKnobPosition(knob, position);
    return true;
}

void TEffectChain::SetBandGain(HFX fx, int position) {
    // Reads the band's centre and width back, so only the gain changes.
    library_.BASS_FXGetParameters(fx, &EqParams);
    EqParams.fGain = BandGainFromKnob(position);
    library_.BASS_FXSetParameters(fx, &EqParams);
}

void TEffectChain::SendKnob(TEffectKnob knob, int position) {
    switch (knob) {
    case TEffectKnob::Bass:
        SetBandGain(handles_.BassFx, position);
        break;
    case TEffectKnob::Middle:
        SetBandGain(handles_.MiddleFx, position);
        break;
    case TEffectKnob::Treble:
        SetBandGain(handles_.TrebleFx, position);
        break;
    case TEffectKnob::Reverb:
        library_.BASS_FXGetParameters(handles_.ReverbFx, &ReverbParams);
        ReverbParams.fReverbMix = ReverbMixFromKnob(position);
        library_.BASS_FXSetParameters(handles_.ReverbFx, &ReverbParams);
        break;
    case TEffectKnob::Volume:
        // While muted the new position waits for the unmute.
        if (!mute_)
            library_.BASS_ChannelSetAttribute(CurrentStream(), BASS_ATTRIB_VOL, VolumeFromKnob(position));
        break;
    case TEffectKnob::Pan:
        library_.BASS_ChannelSetAttribute(CurrentStream(), BASS_ATTRIB_PAN, PanFromKnob(position));
        break;
    }
}

void TEffectChain::SetMonoDsp(HSTREAM stream) {
    DWORD channels;
    {
        std::lock_guard stateLock(state_.Lock);
        channels = state_.ChannelInfo.chans;
    }
    handles_.MonoDsp = library_.BASS_ChannelSetDSP(stream, &MonoDspProc, ChannelsAsUser(channels), 0);
}

void TEffectChain::suiImageButton2Click() {
    bool on;
    {
        std::lock_guard lock(lock_);
        mono_ = mono_ ? 0 : 1;
        on = mono_ == 1;
        const HSTREAM stream = CurrentStream();
        if (on)
            SetMonoDsp(stream);
        else
            library_.BASS_ChannelRemoveDSP(stream, handles_.MonoDsp);
    }
    view_.ShowMonoSwitch(on);
}

void TEffectChain::suiImageButton7Click() {
    bool on;
    {
        std::lock_guard lock(lock_);
        mute_ = mute_ ? 0 : 1;
        on = mute_ == 1;
        library_.BASS_ChannelSetAttribute(CurrentStream(), BASS_ATTRIB_VOL,
                                          on ? 0.0f : VolumeFromKnob(positions_[Index(TEffectKnob::Volume)]));
    }
    view_.ShowMuteSwitch(on);
}

int TEffectChain::MonoState() const {
    std::lock_guard lock(lock_);
    return mono_;
}

int TEffectChain::MuteState() const {
    std::lock_guard lock(lock_);
    return mute_;
}

void TEffectChain::VolumeUp() {
    SetKnobPosition(TEffectKnob::Volume, Position(TEffectKnob::Volume) + 3);
}

void TEffectChain::VolumeDown() {
    SetKnobPosition(TEffectKnob::Volume, Position(TEffectKnob::Volume) - 3);
}

void TEffectChain::MonoDspProc(HDSP, DWORD, void* buffer, DWORD length, void* user) {
    // Audio thread.
    if (reinterpret_cast<std::uintptr_t>(user) != 2 || !buffer) return;
    float* samples = static_cast<float*>(buffer);
    const DWORD count = length / 4;
    for (DWORD i = 0; i + 1 < count; i += 2) {
        const float m = (samples[i] + samples[i + 1]) / 2.0f;
        samples[i] = m;
        samples[i + 1] = m;
    }
}

TEffectChain::THandles TEffectChain::Handles() const {
    std::lock_guard lock(lock_);
    return handles_;
}

} // namespace lumaro
