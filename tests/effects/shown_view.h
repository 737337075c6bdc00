#pragma once
// What the effects panel would be told to show: each knob move and switch
// change, in order.

#include "effects/effect_chain.h"

#include <utility>
#include <vector>

namespace lumaro::testing {

struct ShownView : TEffectView {
    std::vector<std::pair<TEffectKnob, int>> knobs;
    std::vector<bool> mono, mute;
    void ShowKnobPosition(TEffectKnob knob, int position) override { knobs.emplace_back(knob, position); }
    void ShowMonoSwitch(bool on) override { mono.push_back(on); }
    void ShowMuteSwitch(bool on) override { mute.push_back(on); }
};

} // namespace lumaro::testing
