#pragma once
// What the Settings dialog holds for the whole run and the rest of the program
// reads from it: the four option states and the reserved one, the connection
// time-out and the global hot key. The settings file loads and saves the
// states and the time-out, the dialog shows and changes them, and start-up,
// the tray, the minimise button and the activation rule read them. Window
// thread only.

#include "shell/hot_key_text.h"

namespace lumaro {

inline constexpr int kTimeoutMinimum = 3, kTimeoutMaximum = 30, kTimeoutDefault = 5;

struct TSettingsOptions {
    // option states, 0 off and 1 on; another value read from the file is
    // kept as it is and counts as off
    int StartWithWindows = 0; // "  Start with Windows" (Label2)
    int MinimizeToTray = 0;   // "  Minimize to tray" (Label1)
    int RememberPosition = 0; // "  Remember window position" (Label4)
    int AutoPlay = 0;         // "  Auto play on start" (Label3)
    int ReservedFlag = 0;     // "  Label1" (Label5), never shown
    // the "Connection timeout (seconds)" box (suiSpinEdit1), kept within
    // kTimeoutMinimum .. kTimeoutMaximum
    int TimeoutSeconds = kTimeoutDefault;
    // the hot-key field (HotKey1); empty when hotkey.dat named no key
    THotKey HotKey = DefaultHotKey();
};

} // namespace lumaro
