#include "tests/support/gui_actions.h"

#include "ui/skin_grid.h"

#include <QTest>

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

} // namespace lumaro::test_support
