#pragma once
// The effects panel of the main window: the six knobs with their captions and
// the Mono and Mute switches, tied to the effect chain by one table of knobs.

#include "effects/effect_chain.h"

#include <array>

namespace lumaro {

class SkinKnob;
class SkinLabel;
class TAppSession;
class TForm1;

class TEffectsPanel : public TEffectView {
public:
    TEffectsPanel(TForm1& form, TAppSession& session);

    // Connects every knob to its change handler and every caption to its
    // click (a caption puts its knob back to the start).
    void ConnectKnobs();
    // Turns a knob as the user would: kept within its range, its change
    // handler run when the position changes.
    void TurnKnob(TEffectKnob knob, int position);

    // TEffectView
    void ShowKnobPosition(TEffectKnob knob, int position) override;
    void ShowMonoSwitch(bool on) override;
    void ShowMuteSwitch(bool on) override;

private:
    struct TKnobControls {
        TEffectKnob Knob;
        SkinKnob* Widget;
        SkinLabel* Caption; // null: the knob's caption has no action ("Volume")
    };
    std::array<TKnobControls, kEffectKnobCount> Knobs() const;

    TForm1& form_;
    TAppSession& session_;
};

} // namespace lumaro
