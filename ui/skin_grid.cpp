#include "ui/skin_grid.h"

#include "ui/skin_style.h"
#include "ui/text_fit.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QPainter>

namespace lumaro {

SkinGrid::SkinGrid(const SkinGridColors& colors, QWidget* parent) : QWidget(parent), colors_(colors) {
    setFocusPolicy(Qt::StrongFocus);
    setFont(skin::Font(11));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SkinGrid::SetRows(int rowCount, std::function<QString(int)> text, std::function<bool(int)> started) {
    rowCount_ = qMax(0, rowCount);
    text_ = std::move(text);
    started_ = std::move(started);
    current_ = 0;
    top_ = 0;
    update();
    if (QAccessible::isActive()) {
        QAccessibleTableModelChangeEvent event(this, QAccessibleTableModelChangeEvent::ModelReset);
        QAccessible::updateAccessibility(&event);
    }
}

QString SkinGrid::RowText(int row) const {
    return row >= 0 && row < rowCount_ && text_ ? text_(row) : QString();
}

bool SkinGrid::RowStarted(int row) const {
    return row >= 0 && row < rowCount_ && started_ && started_(row);
}

void SkinGrid::SetCurrentRow(int row, bool notify) {
    row = qBound(0, row, qMax(0, rowCount_ - 1));
    const bool changed = row != current_;
    current_ = row;
    ScrollToCurrent();
    update();
    if (changed) NotifyAccessibleCurrent();
    if (changed && notify) emit currentRowChanged(current_);
}

void SkinGrid::SetTopRow(int row) {
    row = qBound(0, row, qMax(0, rowCount_ - 1));
    if (row == top_) return;
    top_ = row;
    update();
}

int SkinGrid::RowAt(const QPoint& pos) const {
    if (pos.y() < 0 || pos.x() < 0 || pos.x() >= width()) return -1;
    const int row = top_ + pos.y() / kRowHeight;
    return row < rowCount_ ? row : -1;
}

QRect SkinGrid::RowRect(int row) const {
    return QRect(0, (row - top_) * kRowHeight, width(), kRowHeight);
}

void SkinGrid::ScrollToCurrent() {
    const int visible = qMax(1, FullyVisibleRows());
    int top = top_;
    if (current_ < top) top = current_;
    if (current_ >= top + visible) top = current_ - visible + 1;
    if (top != top_) {
        top_ = top;
        emit topRowChanged(top_);
    }
}

void SkinGrid::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), colors_.row);
    p.setFont(font());
    const int w = width();
    // only whole rows: the few pixels under the last one stay empty
    for (int row = top_, y = 0; row < rowCount_ && y + kRowHeight <= height(); ++row, y += kRowHeight) {
        QColor fill = colors_.row;
        if (row == current_) fill = colors_.current;
        if (RowStarted(row)) fill = colors_.started;
        p.fillRect(QRect(0, y, w, kRowHeight), fill);
        // the name in black one pixel right and down, then white over it
        // a name of any length: no more of it is laid out than can show
        const QString text = skin::ShownText(RowText(row));
        p.setPen(Qt::black);
        p.drawText(QRect(4, y + 1, w - 5, kRowHeight), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   text);
        p.setPen(Qt::white);
        p.drawText(QRect(3, y, w - 5, kRowHeight), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   text);
        skin::HLine(p, 0, w - 1, y + kRowHeight - 1, colors_.bottomLine);
    }
    if (hasFocus() && rowCount_ > 0 && current_ >= top_) {
        // keyboard focus: a fine inner outline on the current row
        const QRect r = RowRect(current_).adjusted(0, 0, -1, -2);
        p.setPen(QColor(255, 255, 255, 70));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r);
    }
}

void SkinGrid::keyPressEvent(QKeyEvent* event) {
    const int page = qMax(1, FullyVisibleRows());
    int row = current_;
    switch (event->key()) {
    case Qt::Key_Up:
        row -= 1;
        break;
    case Qt::Key_Down:
        row += 1;
        break;
    case Qt::Key_PageUp:
        row -= page;
        break;
    case Qt::Key_PageDown:
        row += page;
        break;
    case Qt::Key_Home:
        row = 0;
        break;
    case Qt::Key_End:
        row = rowCount_ - 1;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit activated();
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    if (rowCount_ > 0) SetCurrentRow(row, true);
}

void SkinGrid::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        const int row = RowAt(pos);
        if (row >= 0) SetCurrentRow(row, true);
    }
    emit mousePressed(event->button(), pos);
}

void SkinGrid::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseReleased(event->button(), event->position().toPoint());
}

void SkinGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit activated();
}

void SkinGrid::wheelEvent(QWheelEvent* event) {
    // three rows per notch, like a list in a desktop toolkit
    wheelRest_ += event->angleDelta().y();
    const int notches = wheelRest_ / 120;
    wheelRest_ -= notches * 120;
    if (notches == 0) return;
    const int maxTop = qMax(0, rowCount_ - FullyVisibleRows());
    const int top = qBound(0, top_ - notches * 3, qMax(maxTop, top_));
    if (top != top_) {
        top_ = top;
        update();
        emit topRowChanged(top_);
    }
    event->accept();
}

void SkinGrid::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void SkinGrid::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

void SkinGrid::NotifyAccessibleCurrent() {
    if (!QAccessible::isActive()) return;
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(this);
    if (!grid) return;
    QAccessibleInterface* cell = grid->child(current_);
    if (!cell) return;
    QAccessibleEvent selection(cell, QAccessible::SelectionAdd);
    QAccessible::updateAccessibility(&selection);
    if (hasFocus()) {
        QAccessibleEvent focus(cell, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

} // namespace lumaro
