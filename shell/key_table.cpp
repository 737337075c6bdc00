#include "shell/key_table.h"

namespace lumaro {

TKeyCommand KeyCommand(int key, Qt::KeyboardModifiers modifiers) {
    const bool keypad = modifiers & Qt::KeypadModifier;
    switch (key) {
    case Qt::Key_F5:
        return TKeyCommand::Mute;
    case Qt::Key_F9:
        return TKeyCommand::PlayStop;
    case Qt::Key_F11:
        return TKeyCommand::VolumeDown;
    case Qt::Key_F12:
        return TKeyCommand::VolumeUp;
    case Qt::Key_Plus:
        return keypad ? TKeyCommand::VolumeUp : TKeyCommand::None;
    case Qt::Key_Minus:
        return keypad ? TKeyCommand::VolumeDown : TKeyCommand::None;
    case Qt::Key_Asterisk:
        return keypad ? TKeyCommand::PlayStop : TKeyCommand::None;
    default:
        return TKeyCommand::None;
    }
}

bool TKeyPressFilter::ActOn(const QEvent* event, QWidget& seenAt, QWidget& window, QWidget* focus) {
    if (seenAt.window() != &window) return false;
    const bool passedOn =
        event == last_ && lastSeenAt_ && lastSeenAt_ != &seenAt && seenAt.isAncestorOf(lastSeenAt_);
    if (!passedOn) actedOn_ = false;
    last_ = event;
    lastSeenAt_ = &seenAt;
    if (actedOn_ || !(&seenAt == focus || (!focus && &seenAt == &window))) return false;
    actedOn_ = true;
    return true;
}

THotKeyAction HotKeyAction(bool settingsVisible, bool applicationActive) {
    if (settingsVisible) return THotKeyAction::Nothing;
    return applicationActive ? THotKeyAction::HideToTray : THotKeyAction::ShowMainWindow;
}

} // namespace lumaro
