#include "ui/skin_switch.h"

#include "ui/skin_style.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QPainter>

namespace lumaro {

SkinSwitch::SkinSwitch(bool toggle, QWidget* parent, Glyph glyph)
    : QWidget(parent), toggle_(toggle), glyph_(glyph) {
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
}

void SkinSwitch::SetState(State state) {
    if (state == state_) return;
    state_ = state;
    update();
    if (QAccessible::isActive()) {
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent event(this, changed);
        QAccessible::updateAccessibility(&event);
    }
}

void SkinSwitch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF r = QRectF(rect());
    const double radius = r.height() / 2.0;
    // the slot the pill sits in, with a highlight on its lower edge
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 30));
    p.drawRoundedRect(r.adjusted(0, 1, 0, 0), radius, radius);
    p.setBrush(QColor(8, 9, 11));
    p.drawRoundedRect(r.adjusted(0, 0, 0, -1), radius, radius);

    const QRectF pill = r.adjusted(1.5, 1.5, -1.5, -2.5);
    const double pr = pill.height() / 2.0;
    QColor base;
    switch (state_) {
    case State::Idle: base = hover_ ? QColor(84, 90, 102) : QColor(58, 63, 73); break;
    case State::On: base = skin::kAccent; break;
    case State::Recording: base = skin::kRecording; break;
    }
    if (down_) base = base.darker(125);
    QLinearGradient g(pill.topLeft(), pill.bottomLeft());
    g.setColorAt(0, base.lighter(state_ == State::Idle ? 125 : 135));
    g.setColorAt(0.55, base);
    g.setColorAt(1, base.darker(state_ == State::Idle ? 115 : 125));
    p.setBrush(g);
    p.drawRoundedRect(pill, pr, pr);
    if (state_ != State::Idle) {
        // the lit LED's glint
        p.setBrush(QColor(255, 255, 255, 90));
        p.drawRoundedRect(QRectF(pill.left() + 3, pill.top() + 1, pill.width() - 6, 2), 1, 1);
    }
    if (glyph_ != Glyph::None) {
        const QPointF c = pill.center();
        p.setPen(QPen(hover_ ? QColor(248, 248, 248) : QColor(186, 192, 204), 1.3, Qt::SolidLine, Qt::RoundCap));
        if (glyph_ == Glyph::Minimize) {
            p.drawLine(c + QPointF(-3, 1.5), c + QPointF(3, 1.5));
        } else {
            p.drawLine(c + QPointF(-2.5, -2.5), c + QPointF(2.5, 2.5));
            p.drawLine(c + QPointF(-2.5, 2.5), c + QPointF(2.5, -2.5));
        }
    }
    if (hasFocus()) {
        p.setPen(QPen(QColor(255, 255, 255, 110), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -1.5), radius, radius);
    }
}

void SkinSwitch::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    down_ = true;
    update();
}

void SkinSwitch::mouseReleaseEvent(QMouseEvent* event) {
    const bool fire = down_ && rect().contains(event->position().toPoint());
    down_ = false;
    update();
    if (fire) emit clicked();
}

void SkinSwitch::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit clicked();
        return;
    }
    QWidget::keyPressEvent(event);
}

void SkinSwitch::enterEvent(QEnterEvent*) {
    hover_ = true;
    update();
}

void SkinSwitch::leaveEvent(QEvent*) {
    hover_ = false;
    update();
}

} // namespace lumaro
