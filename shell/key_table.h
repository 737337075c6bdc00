#pragma once
// The main window's key table: which command a key press stands for. The
// window sees each key before the focused control, which still receives it.

#include <Qt>

namespace lumaro {

enum class TKeyCommand {
    None,
    VolumeUp,   // F12, numeric-pad +: the volume knob up by 3
    VolumeDown, // F11, numeric-pad -: down by 3
    Mute,       // F5: the Mute switch
};

// key: a Qt::Key; modifiers as the press carried them (only the numeric-pad
// flag is looked at).
TKeyCommand KeyCommand(int key, Qt::KeyboardModifiers modifiers);

} // namespace lumaro
