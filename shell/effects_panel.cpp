#include "shell/effects_panel.h"

#include "shell/app_session.h"
#include "shell/unit1.h"
#include "ui/skin_knob.h"
#include "ui/skin_label.h"
#include "ui/skin_switch.h"

namespace lumaro {

TEffectsPanel::TEffectsPanel(TForm1& form, TAppSession& session) : form_(form), session_(session) {}

std::array<TEffectsPanel::TKnobControls, kEffectKnobCount> TEffectsPanel::Knobs() const {
    // in the order of TEffectKnob
    return {{{TEffectKnob::Bass, form_.DIBKnob2, form_.Label2},
             {TEffectKnob::Middle, form_.DIBKnob3, form_.Label6},
             {TEffectKnob::Treble, form_.DIBKnob4, form_.Label7},
             {TEffectKnob::Reverb, form_.DIBKnob6, form_.Label16},
             {TEffectKnob::Volume, form_.DIBKnob5, nullptr},
             {TEffectKnob::Pan, form_.DIBKnob7, form_.Label9}}};
}

void TEffectsPanel::ConnectKnobs() {
    // the chain decides whether anything changes
    for (const TKnobControls& k : Knobs()) {
        QObject::connect(k.Widget, &SkinKnob::valueChanged, &form_, [this, knob = k.Knob](int position) {
            session_.Effects().SetKnobPosition(knob, position);
        });
        if (k.Caption)
            QObject::connect(k.Caption, &SkinLabel::clicked, &form_,
                             [this, knob = k.Knob] { session_.Effects().ResetKnob(knob); });
    }
}

void TEffectsPanel::TurnKnob(TEffectKnob knob, int position) {
    Knobs()[static_cast<size_t>(knob)].Widget->SetValue(position);
}

void TEffectsPanel::ShowKnobPosition(TEffectKnob knob, int position) {
    Knobs()[static_cast<size_t>(knob)].Widget->SetValue(position); // its echo changes nothing in the chain
}

void TEffectsPanel::ShowMonoSwitch(bool on) {
    form_.suiImageButton2->SetState(on ? SkinSwitch::State::On : SkinSwitch::State::Idle);
}

void TEffectsPanel::ShowMuteSwitch(bool on) {
    form_.suiImageButton7->SetState(on ? SkinSwitch::State::On : SkinSwitch::State::Idle);
}

} // namespace lumaro
