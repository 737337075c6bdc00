#pragma once
// What a user does to the skin's widgets, for the tests and benchmarks that
// drive a real window.

#include <QPoint>
#include <QString>
#include <QStringList>

class QWidget;

namespace lumaro {
class SkinGrid;
}

namespace lumaro::test_support {

// A double click on a row of a list, as a mouse gives it: a click, then the
// double click, both inside the row.
void DoubleClickRow(SkinGrid& grid, int row);

// The same on the row that shows text; false when no row does.
bool DoubleClickRowNamed(SkinGrid& grid, const QString& text);

// The real pointer and keyboard of an X server, through xdotool (XTEST):
// each returns once xdotool has sent the events; false when it failed.
bool RunXdotool(const QStringList& args);
bool PointerTo(QPoint global);
bool PointerClickAt(QPoint global);
// Keys as xdotool names them ("k", "ctrl+shift+F12"), pressed and released
// with the modifiers held at the time cleared.
bool PressKeys(const QString& keys);

// A point of a widget on the screen, from its window's geometry as the
// window manager last reported it (asking the X server to translate races
// with the window manager's reparenting).
QPoint OnScreen(const QWidget& w, QPoint p);
QPoint CentreOnScreen(const QWidget& w);

} // namespace lumaro::test_support
