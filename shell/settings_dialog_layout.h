#pragma once
// The Settings dialog's fixed-position controls as data: one row per control
// (name, kind, rectangle on the 231 x 312 window, caption), top to bottom,
// which is also the keyboard order. The window's outermost pixel is its black
// border; every framed control sits on a #151515 frame one pixel wider than
// itself on each side.

#include <QColor>
#include <QRect>
#include <QString>

#include <vector>

namespace lumaro {

inline constexpr int kSettingsWidth = 231, kSettingsHeight = 312;

// The dialog's colours.
namespace settings_colours {
inline const QColor kOptionOff{0x68, 0x74, 0x86};
inline const QColor kOptionOn{0xF8, 0x95, 0x3C};
inline const QColor kOk{0x47, 0x4D, 0x5A};
inline const QColor kOkPressed{0x68, 0x74, 0x86};
inline const QColor kFrame{0x15, 0x15, 0x15};
inline const QColor kField{0x47, 0x4D, 0x5A};
inline const QColor kText{255, 255, 255};
inline const QColor kCaption{206, 210, 218};
} // namespace settings_colours

enum class TSettingsKind {
    Title,       // the dialog's name, no action
    Option,      // an on/off option
    Caption,     // a section caption; some open a chooser
    Field,       // the default station or the recordings folder
    TimeoutBox,  // the connection time-out spin box
    HotKeyField, // the hot-key recorder
    OkButton,
};

struct TSettingsRow {
    const char* Name;
    TSettingsKind Kind;
    QRect Rect;
    QString Caption;
    bool Hidden = false;
};

// Every control of the dialog, top to bottom.
const std::vector<TSettingsRow>& SettingsDialogLayout();

// The row of a control by name; nullptr when there is none.
const TSettingsRow* SettingsRow(const char* name);

// The dark frames: each framed, shown control's rectangle grown by one pixel.
std::vector<QRect> SettingsFrames();

} // namespace lumaro
