#pragma once
// Sound shaping of the current stream: the six knobs (equaliser bands, reverb,
// volume, pan), the Mono and Mute switches, and the effects they put on each
// new stream. No widgets: the window forwards its knob, caption, switch and
// volume-key events here and shows what TEffectView is told.
//
// Threads: every method may be called from any thread; one lock (held only for
// a few engine calls, never by the audio thread) keeps each get-change-set of
// an effect's parameters whole, so a worker applying the chain and a knob
// turned on the window's thread never interleave. MonoDspProc runs on the
// engine's audio thread and touches nothing shared.

#include "engine/audio_library.h"
#include "playback/playback_ports.h"
#include "playback/player_state.h"

#include <array>
#include <mutex>

namespace lumaro {

enum class TEffectKnob { Bass, Middle, Treble, Reverb, Volume, Pan };
inline constexpr int kEffectKnobCount = 6;

// A knob's range and start position (before the settings are applied): the
// one place both the chain and the knob widgets take them from.
struct TKnobRange {
    int Minimum;
    int Maximum;
    int Initial;
};
TKnobRange KnobRange(TEffectKnob knob);

// Knob positions to the values the engine gets.
// Equaliser band gain, dB: p / 2 truncated toward zero.
float BandGainFromKnob(int position);
// Reverb mix, dB: p / 10, or -96 (silent) below -14.
float ReverbMixFromKnob(int position);
// Volume attribute 0.0 .. 1.0 and pan attribute -1.0 .. 1.0: p / 100.
float VolumeFromKnob(int position);
float PanFromKnob(int position);

// Fixed band settings.
inline constexpr float kBassCenter = 125.0f, kMiddleCenter = 1000.0f, kTrebleCenter = 8000.0f;
inline constexpr float kBandWidth = 18.0f;    // semitones
inline constexpr float kReverbTime = 1200.0f; // ms
inline constexpr float kReverbHighRatio = 0.1f;

// What the window shows of the effect chain. Called on the thread that made
// the change (the window's), never with the chain's lock held, so the window
// may move its widgets and let them report back.
class TEffectView {
public:
    virtual ~TEffectView() = default;
    // A knob moved by a caption click or a key: move the widget to position.
    virtual void ShowKnobPosition(TEffectKnob knob, int position) = 0;
    // The Mono / Mute switch shows its on picture while on.
    virtual void ShowMonoSwitch(bool on) = 0;
    virtual void ShowMuteSwitch(bool on) = 0;
};

class TEffectChain : public TStreamAdopter {
public:
    // library, state and view outlive the chain.
    TEffectChain(engine::AudioLibrary& library, const TPlayerState& state, TEffectView& view);
    TEffectChain(const TEffectChain&) = delete;
    TEffectChain& operator=(const TEffectChain&) = delete;

    // Puts the effects on stream S (newly opened, not yet playing) from the
    // knob positions and switch states as they stand, in the engine's order:
    // three bands, reverb, volume, pan, mono DSP, mute.
    void ApplyEffectChain(engine::HSTREAM stream);
    // TStreamAdopter: the connection worker's hand-over of a new stream.
    void AdoptStream(engine::HSTREAM stream) override { ApplyEffectChain(stream); }

    // The stored position of a knob.
    int Position(TEffectKnob knob) const;
    // Moves a knob: a value outside its range stores the nearer bound. Only
    // when the stored position changes does the knob's change handler run
    // (sending to the current stream) and the window get told. True when it
    // changed.
    bool SetKnobPosition(TEffectKnob knob, int position);

    // Change handlers: the knob widget now stands at position. Same as
    // SetKnobPosition, so a widget echoing a move made here sends nothing twice.
    void DIBKnob2Change(int position) { SetKnobPosition(TEffectKnob::Bass, position); }
    void DIBKnob3Change(int position) { SetKnobPosition(TEffectKnob::Middle, position); }
    void DIBKnob4Change(int position) { SetKnobPosition(TEffectKnob::Treble, position); }
    void DIBKnob6Change(int position) { SetKnobPosition(TEffectKnob::Reverb, position); }
    void DIBKnob5Change(int position) { SetKnobPosition(TEffectKnob::Volume, position); }
    void DIBKnob7Change(int position) { SetKnobPosition(TEffectKnob::Pan, position); }

    // Captions "Bass", "Middle", "Treble", "Reverb", "Pan": back to the
    // start position ("Volume" has no action).
    void ResetKnob(TEffectKnob knob) { SetKnobPosition(knob, KnobRange(knob).Initial); }
    void Label2Click() { ResetKnob(TEffectKnob::Bass); }
    void Label6Click() { ResetKnob(TEffectKnob::Middle); }
    void Label7Click() { ResetKnob(TEffectKnob::Treble); }
    void Label16Click() { ResetKnob(TEffectKnob::Reverb); }
    void Label9Click() { ResetKnob(TEffectKnob::Pan); }

    // Mono and Mute switches: flip the state, act on the current stream.
    void suiImageButton2Click();
    void suiImageButton7Click();
    // Switch states, 0 off, 1 on.
    int MonoState() const;
    int MuteState() const;

    // Volume keys: the knob up or down by 3 within 0 .. 100, as if turned.
    void VolumeUp();
    void VolumeDown();

    // The DSP handed to the engine for Mono. Audio thread: averages each
    // left/right pair of 32-bit floats in place when the stream has two
    // channels; user carries the stream's channel count. No lock, no
    // allocation.
    static void MonoDspProc(engine::HDSP handle, engine::DWORD channel, void* buffer, engine::DWORD length,
                            void* user);

    // The effect handles of the current stream (0 before the first stream).
    struct THandles {
        engine::HFX BassFx = 0, MiddleFx = 0, TrebleFx = 0, ReverbFx = 0;
        engine::HDSP MonoDsp = 0;
    };
    THandles Handles() const;

private:
    void SendKnob(TEffectKnob knob, int position);  // lock_ held
    void SetBandGain(engine::HFX fx, int position); // lock_ held
    void SetMonoDsp(engine::HSTREAM stream);        // lock_ held
    engine::HSTREAM CurrentStream() const { return state_.Stream.load(); }

    engine::AudioLibrary& library_;
    const TPlayerState& state_;
    TEffectView& view_;

    mutable std::mutex lock_; // guards everything below
    std::array<int, kEffectKnobCount> positions_{};
    int mono_ = 0, mute_ = 0;
    THandles handles_;
    // Working records of the last get-change-set.
    engine::BASS_DX8_PARAMEQ EqParams{};
    engine::BASS_DX8_REVERB ReverbParams{};
};

} // namespace lumaro
