#pragma once
// What a user does to the skin's widgets, for the tests and benchmarks that
// drive a real window.

#include <QString>

namespace lumaro {
class SkinGrid;
}

namespace lumaro::test_support {

// A double click on a row of a list, as a mouse gives it: a click, then the
// double click, both inside the row.
void DoubleClickRow(SkinGrid& grid, int row);

// The same on the row that shows text; false when no row does.
bool DoubleClickRowNamed(SkinGrid& grid, const QString& text);

} // namespace lumaro::test_support
