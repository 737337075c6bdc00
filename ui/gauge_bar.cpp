#include "ui/gauge_bar.h"

#include "ui/skin_style.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPainter>

namespace lumaro {

GaugeBar::GaugeBar(QWidget* parent) : QWidget(parent) { setCursor(Qt::ArrowCursor); }

void GaugeBar::SetRange(int minimum, int maximum) {
    min_ = minimum;
    max_ = maximum <= minimum ? minimum + 1 : maximum;
    pos_ = qBound(min_, pos_, max_);
    update();
}

void GaugeBar::SetPosition(int position, bool notify) {
    position = qBound(min_, position, max_);
    if (position == pos_) return;
    pos_ = position;
    update();
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(this, pos_);
        QAccessible::updateAccessibility(&event);
    }
    if (notify) emit changed(pos_);
}

void GaugeBar::SetPageSize(int rows) {
    page_ = qMax(1, rows);
    update();
}

QRect GaugeBar::ThumbRect() const {
    const int track = height() - 2;
    const int span = max_ - min_;
    const int length = qBound(14, track * page_ / qMax(1, span + page_), track);
    const int travel = track - length;
    const int top = 1 + (span > 0 ? travel * (pos_ - min_) / span : 0);
    return QRect(1, top, width() - 2, length);
}

int GaugeBar::PositionAt(int thumbTop) const {
    const QRect thumb = ThumbRect();
    const int travel = height() - 2 - thumb.height();
    if (travel <= 0) return min_;
    const int span = max_ - min_;
    return min_ + ((thumbTop - 1) * span + travel / 2) / travel;
}

void GaugeBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    // recessed track
    p.fillRect(r, QColor(24, 27, 33));
    skin::VLine(p, 0, 0, r.bottom(), QColor(14, 16, 20));
    skin::HLine(p, 0, r.right(), 0, QColor(14, 16, 20));
    skin::HLine(p, 0, r.right(), r.bottom(), QColor(70, 76, 88));
    // thumb: a rounded pill, lit toward the accent when hovered or dragged
    const QRect t = ThumbRect();
    p.setRenderHint(QPainter::Antialiasing, true);
    QLinearGradient g(t.topLeft(), t.topRight());
    const bool lit = hover_ || dragOffset_ >= 0;
    g.setColorAt(0, lit ? QColor(132, 140, 156) : QColor(112, 120, 136));
    g.setColorAt(1, lit ? QColor(98, 106, 122) : QColor(82, 90, 106));
    p.setPen(QPen(QColor(16, 18, 22), 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(t).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    // grip: three short lines in the thumb's middle
    p.setRenderHint(QPainter::Antialiasing, false);
    const int cy = t.center().y();
    for (int dy = -3; dy <= 3; dy += 3) {
        skin::HLine(p, t.left() + 2, t.right() - 2, cy + dy, lit ? skin::kAccent : QColor(52, 58, 70));
    }
}

void GaugeBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int y = event->position().toPoint().y();
    const QRect t = ThumbRect();
    if (t.contains(1, y)) {
        dragOffset_ = y - t.top();
    } else {
        SetPosition(pos_ + (y < t.top() ? -page_ : page_));
    }
    update();
}

void GaugeBar::mouseMoveEvent(QMouseEvent* event) {
    if (dragOffset_ < 0) return;
    SetPosition(PositionAt(event->position().toPoint().y() - dragOffset_));
}

void GaugeBar::mouseReleaseEvent(QMouseEvent*) {
    dragOffset_ = -1;
    update();
}

void GaugeBar::wheelEvent(QWheelEvent* event) {
    wheelRest_ += event->angleDelta().y();
    const int notches = wheelRest_ / 120;
    wheelRest_ -= notches * 120;
    if (notches != 0) SetPosition(pos_ - notches * 3);
    event->accept();
}

void GaugeBar::enterEvent(QEnterEvent*) {
    hover_ = true;
    update();
}

void GaugeBar::leaveEvent(QEvent*) {
    hover_ = false;
    update();
}

} // namespace lumaro
