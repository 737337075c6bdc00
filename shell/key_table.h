#pragma once
// The main window's key table: which command a key press stands for. The
// window sees each key before the focused control, which still receives it.

#include <QPointer>
#include <QWidget>
#include <Qt>

class QEvent;

namespace lumaro {

enum class TKeyCommand {
    None,
    VolumeUp,   // F12, numeric-pad +: the volume knob up by 3
    VolumeDown, // F11, numeric-pad -: down by 3
    Mute,       // F5: the Mute switch
    PlayStop,   // F9, numeric-pad *: the Play/Stop button
};

// key: a Qt::Key; modifiers as the press carried them (only the numeric-pad
// flag is looked at).
TKeyCommand KeyCommand(int key, Qt::KeyboardModifiers modifiers);

// Which sightings of key presses the window acts on: once per key, at the
// focused control of the window (or the window itself when nothing has the
// focus), before that control sees it. The application's filter sees a press
// at its receiver and again at each parent a control passes it on to, as the
// same event; if the handler moved the focus meanwhile (a message box), that
// is still the one key.
class TKeyPressFilter {
public:
    bool ActOn(const QEvent* event, QWidget& seenAt, QWidget& window, QWidget* focus);

private:
    const QEvent* last_ = nullptr;
    QPointer<QWidget> lastSeenAt_;
    bool actedOn_ = false;
};

// What the global hot key does.
enum class THotKeyAction { Nothing, HideToTray, ShowMainWindow };
// Nothing while the Settings dialog is visible; hidden into the tray when the
// program is the active one, whatever the minimise-to-tray option says;
// else shown.
THotKeyAction HotKeyAction(bool settingsVisible, bool applicationActive);

} // namespace lumaro
