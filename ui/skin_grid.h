#pragma once
// A one-column list drawn by the skin: 14-pixel rows, a current row, an
// optional "started" row, keys, wheel and mouse. It keeps no texts: every row
// is asked for when drawn.

#include <QColor>
#include <QWidget>

#include <functional>

namespace lumaro {

struct SkinGridColors {
    QColor row;     // row background and the empty area below the last row
    QColor current; // the current row
    QColor started; // a row the started() callback marks; wins over current
    QColor bottomLine;
};

class SkinGrid : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 14;

    explicit SkinGrid(const SkinGridColors& colors, QWidget* parent = nullptr);

    // rowCount 0 shows an empty grid. text(row) gives a row's text;
    // started(row), when set, marks the rows drawn in the started colour.
    void SetRows(int rowCount, std::function<QString(int)> text, std::function<bool(int)> started = {});
    int RowCount() const { return rowCount_; }
    QString RowText(int row) const;
    bool RowStarted(int row) const;

    int CurrentRow() const { return current_; }
    // Moves the current row (clamped) and scrolls it into view; emits
    // currentRowChanged when notify is set and the row changed.
    void SetCurrentRow(int row, bool notify = true);
    int TopRow() const { return top_; }
    // Scrolls without moving the current row; a top row past the last full
    // page is allowed, as a scroll bar may ask for it.
    void SetTopRow(int row);
    int FullyVisibleRows() const { return height() / kRowHeight; }
    // The row under a point of the widget, or -1 below the last row.
    int RowAt(const QPoint& pos) const;
    QRect RowRect(int row) const;

signals:
    // The current row moved by keys, wheel or mouse (not by SetCurrentRow(.., false)).
    void currentRowChanged(int row);
    // The top row moved by keys, the wheel or a current-row change.
    void topRowChanged(int row);
    // Every press; a left press has already moved the current row.
    void mousePressed(Qt::MouseButton button, QPoint pos);
    void mouseReleased(Qt::MouseButton button, QPoint pos);
    // Left double click anywhere, or Enter/Return.
    void activated();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void ScrollToCurrent();
    void NotifyAccessibleCurrent();

    SkinGridColors colors_;
    int rowCount_ = 0;
    std::function<QString(int)> text_;
    std::function<bool(int)> started_;
    int current_ = 0;
    int top_ = 0;
    int wheelRest_ = 0; // wheel angle not yet turned into rows, 1/8 degree
};

} // namespace lumaro
