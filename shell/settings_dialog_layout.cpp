#include "shell/settings_dialog_layout.h"

#include <cstring>

namespace lumaro {

namespace {

using K = TSettingsKind;
constexpr int kLeft = 8, kWide = kSettingsWidth - 2 * kLeft;

TSettingsRow Option(const char* name, int top, const char* caption, bool hidden = false) {
    return {name, K::Option, {kLeft, top, kWide, 17}, caption, hidden};
}
TSettingsRow Caption(const char* name, int top, const char* caption) {
    return {name, K::Caption, {kLeft, top, kWide, 14}, caption};
}

} // namespace

const std::vector<TSettingsRow>& SettingsDialogLayout() {
    static const std::vector<TSettingsRow> rows = {
        {"Label19", K::Title, {kLeft, 5, kWide, 16}, "Settings"},
        Option("Label2", 28, "  Start with Windows"),
        Option("Label1", 49, "  Minimize to tray"),
        Option("Label4", 70, "  Remember window position"),
        Option("Label3", 91, "  Auto play on start"),
        // the reserved option: held, loaded and saved, never shown
        Option("Label5", 91, "  Label1", true),
        Caption("Label7", 115, "Default station (click to set)"),
        {"TntLabel1", K::Field, {kLeft, 131, kWide, 17}, "(empty)"},
        Caption("Label8", 155, "Recordings folder (click to set)"),
        {"TntLabel2", K::Field, {kLeft, 171, kWide, 17}, ""},
        Caption("Label9", 195, "Connection timeout (seconds)"),
        {"suiSpinEdit1", K::TimeoutBox, {kLeft, 211, 56, 19}, "Connection timeout (seconds)"},
        // the longest caption takes the dialog's whole inner width
        {"Label10",
         K::Caption,
         {3, 237, kSettingsWidth - 6, 14},
         "Set Global HotKey to Show/Hide Lumaro Radio"},
        {"HotKey1", K::HotKeyField, {kLeft, 253, kWide, 19}, "Set Global HotKey to Show/Hide Lumaro Radio"},
        {"Label6", K::OkButton, {(kSettingsWidth - 62) / 2, 283, 62, 19}, "        OK"},
    };
    return rows;
}

const TSettingsRow* SettingsRow(const char* name) {
    for (const TSettingsRow& row : SettingsDialogLayout())
        if (std::strcmp(row.Name, name) == 0) return &row;
    return nullptr;
}

std::vector<QRect> SettingsFrames() {
    std::vector<QRect> frames;
    for (const TSettingsRow& row : SettingsDialogLayout()) {
        const bool framed = row.Kind == K::Option || row.Kind == K::Field || row.Kind == K::TimeoutBox ||
                            row.Kind == K::HotKeyField || row.Kind == K::OkButton;
        if (framed && !row.Hidden) frames.push_back(row.Rect.adjusted(-1, -1, 1, 1));
    }
    return frames;
}

} // namespace lumaro
