#include "shell/key_table.h"

namespace lumaro {

TKeyCommand KeyCommand(int key, Qt::KeyboardModifiers modifiers) {
    const bool keypad = modifiers & Qt::KeypadModifier;
    switch (key) {
    case Qt::Key_F5:
        return TKeyCommand::Mute;
    case Qt::Key_F11:
        return TKeyCommand::VolumeDown;
    case Qt::Key_F12:
        return TKeyCommand::VolumeUp;
    case Qt::Key_Plus:
        return keypad ? TKeyCommand::VolumeUp : TKeyCommand::None;
    case Qt::Key_Minus:
        return keypad ? TKeyCommand::VolumeDown : TKeyCommand::None;
    default:
        return TKeyCommand::None;
    }
}

} // namespace lumaro
