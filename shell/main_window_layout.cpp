#include "shell/main_window_layout.h"

#include "ui/gauge_bar.h"
#include "ui/level_meter.h"
#include "ui/skin_background.h"
#include "ui/skin_edit.h"
#include "ui/skin_grid.h"
#include "ui/skin_icon_button.h"
#include "ui/skin_knob.h"
#include "ui/skin_label.h"
#include "ui/skin_style.h"
#include "ui/skin_switch.h"

namespace lumaro {

namespace {

using K = TControlKind;
using skin::kCaptionText;
using skin::kRailText;
constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;
constexpr Qt::Alignment kCentre = Qt::AlignHCenter | Qt::AlignVCenter;
constexpr unsigned kRailCaption = kNoShadow | kClickable;
constexpr int kBarHeight = kListDesignHeight + 19; // a bar spans its box and its list

// A switch (25 x 12) with its caption to the right.
TControlRow Switch(const char* name, K kind, int x, int y, const char* caption, const char* tip = "") {
    return {.Name = name, .Kind = kind, .Rect = {x, y, 25, 12}, .Caption = caption, .ToolTip = tip};
}
TControlRow SwitchCaption(const char* name, int x, int y, const char* caption) {
    return {.Name = name,
            .Kind = K::Label,
            .Rect = {x, y - 1, 70, 14},
            .Caption = caption,
            .Colour = kCaptionText,
            .Align = kLeft};
}
// A small knob (41 x 41) with its clickable caption to the left.
TControlRow Knob(const char* name, TEffectKnob knob, int x, const char* caption) {
    return {.Name = name, .Kind = K::Knob, .Rect = {x, 55, 41, 41}, .Caption = caption, .Knob = knob};
}
TControlRow KnobCaption(const char* name, int knobX, const char* caption) {
    return {.Name = name,
            .Kind = K::Label,
            .Rect = {knobX - 61, 68, 58, 14},
            .Caption = caption,
            .FontPx = 10,
            .Colour = kCaptionText,
            .Align = kRight,
            .Flags = kClickable};
}
TControlRow RailCaption(const char* name, int x, int width, const char* caption,
                        const QColor& colour = kRailText) {
    return {.Name = name,
            .Kind = K::Label,
            .Rect = {x, 145, width, 15},
            .Caption = caption,
            .Colour = colour,
            .Align = kLeft,
            .Flags = kRailCaption};
}
// A category column: its list, the filter box above it with the clear icon at
// its right, and the scroll bar along both.
void CategoryColumn(std::vector<TControlRow>& rows, int x, const char* grid, const char* box,
                    const char* icon, const char* bar, const QString& kind, const QString& plural) {
    rows.push_back(
        {.Name = grid, .Kind = K::CategoryGrid, .Rect = {x, 205, 151, kListDesignHeight}, .Caption = plural});
    rows.push_back({.Name = box,
                    .Kind = K::FilterBox,
                    .Rect = {x, 186, 128, 20},
                    .Caption = kind + " filter",
                    .Placeholder = "Filter"});
    rows.push_back({.Name = icon,
                    .Kind = K::ClearIcon,
                    .Rect = {x + 127, 186, 23, 20},
                    .Caption = "Clear " + kind.toLower() + " filter"});
    rows.push_back({.Name = bar,
                    .Kind = K::ScrollBar,
                    .Rect = {x + 150, 186, 10, kBarHeight},
                    .Caption = plural + " scroll bar"});
}

std::vector<TControlRow> MakeLayout() {
    std::vector<TControlRow> rows = {
        {.Name = "DIBImage1", .Kind = K::Background, .Rect = {0, 0, 982, 480}, .Caption = "Lumaro Radio"},
        // window buttons
        {.Name = "suiImageButton6",
         .Kind = K::MinimizeButton,
         .Rect = {827, 13, 25, 12},
         .Caption = "Minimize"},
        {.Name = "suiImageButton5", .Kind = K::CloseButton, .Rect = {901, 13, 25, 12}, .Caption = "Close"},
        {.Name = "MinimizeCaption",
         .Kind = K::Label,
         .Rect = {857, 12, 48, 14},
         .Caption = "Minimize",
         .Colour = skin::kFaintCaptionText},
        {.Name = "CloseCaption",
         .Kind = K::Label,
         .Rect = {931, 12, 48, 14},
         .Caption = "Close",
         .Colour = skin::kFaintCaptionText},
        // the display
        // title and status: two lines each (15 and 14 px line spacing)
        {.Name = "TntLabel2",
         .Kind = K::Label,
         .Rect = {35, 42, 252, 31},
         .FontPx = 13,
         .Bold = true,
         .Colour = skin::kLcdText,
         .Align = kLeft,
         .Description = "Stream title",
         .Flags = kWrapped},
        {.Name = "TntLabel3",
         .Kind = K::Label,
         .Rect = {34, 73, 253, 28},
         .FontPx = 12,
         .Colour = skin::kLcdStatusText,
         .Align = kLeft,
         .Description = "Status",
         .Flags = kWrapped},
        {.Name = "Label5",
         .Kind = K::Label,
         .Rect = {34, 101, 198, 11},
         .FontPx = 9,
         .Colour = skin::kLcdSmallText,
         .Align = kLeft,
         .Description = "Bit rate"},
        {.Name = "Label23",
         .Kind = K::Label,
         .Rect = {238, 101, 48, 11},
         .Caption = "recording",
         .FontPx = 9,
         .Bold = true,
         .Colour = skin::kLcdRecordingText,
         .Align = kRight,
         .Flags = kHidden},
        {.Name = "DIBKnob1", .Kind = K::Meter, .Rect = {22, 146, 106, 102}, .Caption = "Level"},
        {.Name = "DIBKnob5",
         .Kind = K::Knob,
         .Rect = {22, 350, 106, 102},
         .Caption = "Volume",
         .ToolTip = "Change volume ( F11,F12 or plus,minus keys on NumPad )",
         .Knob = TEffectKnob::Volume},
        {.Name = "Label10",
         .Kind = K::Label,
         .Rect = {22, 452, 106, 14},
         .Caption = "Volume",
         .Bold = true,
         .Colour = skin::kStrongCaptionText,
         .Align = kCentre},
        // switches
        Switch("suiImageButton8", K::ToggleSwitch, 299, 41, "Play/Stop", "F9 or * on NumPad"),
        SwitchCaption("PlayStopCaption", 330, 41, "Play/Stop"),
        Switch("suiImageButton3", K::PushSwitch, 299, 58, "URL"),
        SwitchCaption("Label13", 330, 58, "URL"),
        Switch("suiImageButton4", K::PushSwitch, 299, 75, "Add to Fav."),
        SwitchCaption("AddToFavCaption", 330, 75, "Add to Fav."),
        Switch("suiImageButton9", K::ToggleSwitch, 299, 99, "Rec"),
        SwitchCaption("RecCaption", 330, 99, "Rec"),
        Switch("suiImageButton7", K::ToggleSwitch, 402, 58, "Mute", "Mute/Unmute ( F5 )"),
        SwitchCaption("Label18", 432, 58, "Mute"),
        Switch("suiImageButton2", K::ToggleSwitch, 402, 82, "Mono"),
        SwitchCaption("Label12", 432, 82, "Mono"),
        // knobs
        Knob("DIBKnob7", TEffectKnob::Pan, 514, "Pan"),
        KnobCaption("Label9", 514, "Pan"),
        Knob("DIBKnob6", TEffectKnob::Reverb, 637, "Reverb"),
        KnobCaption("Label16", 637, "Reverb"),
        Knob("DIBKnob2", TEffectKnob::Bass, 747, "Bass"),
        KnobCaption("Label2", 747, "Bass"),
        Knob("DIBKnob3", TEffectKnob::Middle, 822, "Middle"),
        KnobCaption("Label6", 822, "Middle"),
        Knob("DIBKnob4", TEffectKnob::Treble, 894, "Treble"),
        KnobCaption("Label7", 894, "Treble"),
        // the caption rail
        RailCaption("Label19", 698, 45, "Settings"),
        RailCaption("Label22", 748, 59, "Recordings"),
        RailCaption("Label1", 815, 52, "Favorites", skin::kRailFirstText),
        RailCaption("Label17", 875, 40, "Recent", skin::kRailFirstText),
        RailCaption("Label20", 921, 36, "About"),
        {.Name = "StationBrowserCaption",
         .Kind = K::Label,
         .Rect = {464, 125, 140, 13},
         .Caption = "Station browser",
         .FontPx = 10,
         .Bold = true,
         .Colour = skin::kSectionText},
        {.Name = "TntLabel1",
         .Kind = K::Label,
         .Rect = {180, 142, 504, 23},
         .Bold = true,
         .Colour = skin::kInformationText,
         .Align = kLeft,
         .Description = "Selected station; click for station information",
         .Flags = kNoShadow | kClickable | kReadAsText | kHandCursor},
    };
    // the browser: three category columns, then the search box and the results
    CategoryColumn(rows, 165, "suiStringGrid1", "FlatEdit1", "Image2", "GaugeBar1", "Style", "Styles");
    CategoryColumn(rows, 337, "suiStringGrid2", "FlatEdit2", "Image3", "GaugeBar2", "Country", "Countries");
    CategoryColumn(rows, 510, "suiStringGrid3", "FlatEdit3", "Image5", "GaugeBar3", "Language", "Languages");
    rows.insert(
        rows.end(),
        {
            {.Name = "TntEdit2",
             .Kind = K::FilterBox,
             .Rect = {723, 188, 193, 18},
             .Caption = "Search stations",
             .Placeholder = "Search"},
            {.Name = "Image6", .Kind = K::ClearIcon, .Rect = {917, 187, 23, 20}, .Caption = "Clear search"},
            {.Name = "Label24",
             .Kind = K::Label,
             .Rect = {837, 171, 111, 13},
             .Caption = "showing 15000 stations",
             .Colour = skin::kCountText,
             .Align = kRight,
             .Description = "Station count"},
            {.Name = "suiStringGrid4",
             .Kind = K::ResultGrid,
             .Rect = {721, 206, 220, kListDesignHeight},
             .Caption = "Stations"},
            // the results' bar sits over the grid's last column of pixels
            {.Name = "GaugeBar4",
             .Kind = K::ScrollBar,
             .Rect = {940, 187, 10, kBarHeight},
             .Caption = "Stations scroll bar",
             .Flags = kOnTop},
        });
    return rows;
}

QWidget* MakeLabel(QWidget& window, const TControlRow& row) {
    auto* label = new SkinLabel(row.Caption, &window, row.FontPx, row.Bold);
    if (row.Colour.isValid()) label->SetTextColor(row.Colour);
    if (row.Align) label->setAlignment(row.Align);
    if (row.Flags & kNoShadow) label->SetShadow(false);
    if (row.Flags & kClickable) label->SetClickable(true);
    if (row.Flags & kReadAsText) label->SetAccessibleAsText(true);
    if (row.Flags & kHandCursor) label->setCursor(Qt::PointingHandCursor);
    if (row.Flags & kWrapped) label->SetWrapped(true);
    return label;
}

QWidget* MakeControl(QWidget& window, const TControlRow& row) {
    static const SkinGridColors kCategoryColors{skin::kCategoryRow, skin::kAccent, skin::kAccent,
                                                skin::kCategoryLine};
    static const SkinGridColors kResultColors{skin::kResultRow, skin::kResultCurrent, skin::kAccent,
                                              skin::kResultLine};
    switch (row.Kind) {
    case K::Background:
        return new SkinBackground(SkinBackground::Layout::MainWindow, &window);
    case K::Label:
        return MakeLabel(window, row);
    case K::PushSwitch:
    case K::ToggleSwitch:
        return new SkinSwitch(row.Kind == K::ToggleSwitch, &window);
    case K::MinimizeButton:
        return new SkinSwitch(false, &window, SkinSwitch::Glyph::Minimize);
    case K::CloseButton:
        return new SkinSwitch(false, &window, SkinSwitch::Glyph::Close);
    case K::Knob: {
        const TKnobRange range = KnobRange(row.Knob);
        return new SkinKnob(range.Minimum, range.Maximum, range.Initial, &window);
    }
    case K::Meter:
        return new LevelMeter(&window);
    case K::FilterBox: {
        auto* box = new SkinEdit(&window);
        box->setPlaceholderText(row.Placeholder);
        return box;
    }
    case K::ClearIcon:
        return new SkinIconButton(&window);
    case K::CategoryGrid:
        return new SkinGrid(kCategoryColors, &window);
    case K::ResultGrid:
        return new SkinGrid(kResultColors, &window);
    case K::ScrollBar:
        return new GaugeBar(&window);
    }
    return nullptr;
}

} // namespace

const std::vector<TControlRow>& MainWindowLayout() {
    static const std::vector<TControlRow> rows = MakeLayout();
    return rows;
}

void MakeControls(QWidget& window, const std::vector<TControlRow>& rows) {
    for (const TControlRow& row : rows) {
        QWidget* control = MakeControl(window, row);
        control->setObjectName(QString::fromLatin1(row.Name));
        control->setGeometry(row.Rect);
        if (row.Kind != K::Label) control->setAccessibleName(row.Caption);
        if (!row.Description.isEmpty()) control->setAccessibleDescription(row.Description);
        if (!row.ToolTip.isEmpty()) control->setToolTip(row.ToolTip);
        if (row.Flags & kHidden) control->hide();
        if (row.Flags & kOnTop) control->raise();
    }
}

} // namespace lumaro
