#pragma once
// The main window's fixed-position controls as data: one row per control
// (name, kind, rectangle, caption, font, colour and the few extras a control
// needs), made by one function in the order of the rows: a later row draws
// over an earlier one, and the keyboard order starts from it.

#include "effects/effect_chain.h"

#include <QColor>
#include <QRect>
#include <QString>

#include <vector>

class QWidget;

namespace lumaro {

// Height the lists are designed with; they are trimmed to whole rows when built.
inline constexpr int kListDesignHeight = 250;

enum class TControlKind {
    Background,     // SkinBackground of the main window
    Label,          // SkinLabel
    PushSwitch,     // SkinSwitch that only clicks
    ToggleSwitch,   // SkinSwitch that keeps a state
    MinimizeButton, // SkinSwitch with its glyph
    CloseButton,
    Knob,         // SkinKnob, with the range of its TEffectKnob
    Meter,        // LevelMeter
    FilterBox,    // SkinEdit
    ClearIcon,    // SkinIconButton
    CategoryGrid, // SkinGrid in the category colours
    ResultGrid,   // SkinGrid in the result colours
    ScrollBar,    // GaugeBar
};

// The extras a row may ask for.
enum TControlFlag : unsigned {
    kNoShadow = 1,   // a label without the 1 px black shadow
    kClickable = 2,  // a label that reports presses and clicks
    kReadAsText = 4, // a clickable label read as text by assistive technology
    kHandCursor = 8, // the pointing hand over it
    kHidden = 16,    // hidden until shown
    kOnTop = 32,     // raised over the controls made before it
    kWrapped = 64,   // a label word-wrapped over the lines its height holds
};

struct TControlRow {
    const char* Name = nullptr;
    TControlKind Kind = TControlKind::Label;
    QRect Rect{};
    // A label's text; the accessible name of any other control.
    QString Caption{};
    int FontPx = 11;
    bool Bold = false;
    // A label's text colour and alignment; none keeps the label's own.
    QColor Colour{};
    Qt::Alignment Align = {};
    QString Description{}; // accessible description
    QString ToolTip{};
    QString Placeholder{}; // a box's grey text while it is empty
    unsigned Flags = 0;
    TEffectKnob Knob = TEffectKnob::Volume; // which knob a Knob row is
};

// Every control of the main window, in the order they are made.
const std::vector<TControlRow>& MainWindowLayout();

// Makes the controls of rows as children of window, each named by its row.
void MakeControls(QWidget& window, const std::vector<TControlRow>& rows);

} // namespace lumaro
