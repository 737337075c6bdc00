#include "tests/support/gui_actions.h"

#include "ui/skin_grid.h"

#include <QProcess>
#include <QTest>
#include <QWidget>

namespace lumaro::test_support {

void DoubleClickRow(SkinGrid& grid, int row) {
    const QPoint at = grid.RowRect(row).center();
    QTest::mouseClick(&grid, Qt::LeftButton, {}, at);
    QTest::mouseDClick(&grid, Qt::LeftButton, {}, at);
}

bool DoubleClickRowNamed(SkinGrid& grid, const QString& text) {
    for (int r = 0; r < grid.RowCount(); ++r) {
        if (grid.RowText(r) != text) continue;
        DoubleClickRow(grid, r);
        return true;
    }
    return false;
}

bool RunXdotool(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral("xdotool"), args);
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

bool PointerTo(QPoint global) {
    return RunXdotool({"mousemove", "--sync", QString::number(global.x()), QString::number(global.y())});
}

bool PointerClickAt(QPoint global) {
    return PointerTo(global) && RunXdotool({"click", "1"});
}

bool PressKeys(const QString& keys) {
    return RunXdotool({"key", "--clearmodifiers", keys});
}

QPoint OnScreen(const QWidget& w, QPoint p) {
    const QWidget* top = w.window();
    return top->geometry().topLeft() + w.mapTo(top, p);
}

QPoint CentreOnScreen(const QWidget& w) {
    return OnScreen(w, w.rect().center());
}

} // namespace lumaro::test_support
