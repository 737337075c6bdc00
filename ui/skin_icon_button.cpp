#include "ui/skin_icon_button.h"

#include "ui/skin_style.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPainter>

namespace lumaro {

SkinIconButton::SkinIconButton(QWidget* parent) : QWidget(parent) { setCursor(Qt::PointingHandCursor); }

void SkinIconButton::SetPicture(Picture picture) {
    if (picture == picture_) return;
    picture_ = picture;
    update();
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void SkinIconButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(22, 24, 29));
    g.setColorAt(1, QColor(33, 36, 43));
    p.fillRect(r, g);
    skin::HLine(p, 0, r.right(), 0, QColor(12, 13, 16));
    skin::VLine(p, r.right(), 0, r.bottom(), QColor(12, 13, 16));
    skin::HLine(p, 0, r.right(), r.bottom(), QColor(78, 84, 96));

    p.setRenderHint(QPainter::Antialiasing, true);
    const QPointF c = QRectF(r).center() + QPointF(0.5, 0.5);
    const bool cross = picture_ == Picture::Cross;
    QColor ink = cross ? skin::kAccent : QColor(150, 158, 172);
    if (hover_) ink = cross ? skin::kAccent.lighter(120) : QColor(214, 218, 226);
    if (down_) ink = ink.darker(130);
    if (cross) {
        // a round orange badge with a dark cross
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawEllipse(c, 5.5, 5.5);
        p.setPen(QPen(QColor(30, 26, 22), 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c + QPointF(-2.4, -2.4), c + QPointF(2.4, 2.4));
        p.drawLine(c + QPointF(-2.4, 2.4), c + QPointF(2.4, -2.4));
    } else {
        const QPointF lens = c + QPointF(-1.5, -1.5);
        p.setPen(QPen(ink, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(lens, 3.6, 3.6);
        p.setPen(QPen(ink, 2.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(lens + QPointF(2.7, 2.7), lens + QPointF(5.6, 5.6));
    }
}

void SkinIconButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        down_ = true;
        update();
    }
}

void SkinIconButton::mouseReleaseEvent(QMouseEvent* event) {
    const bool fire = down_ && rect().contains(event->position().toPoint());
    down_ = false;
    update();
    if (fire) emit clicked();
}

void SkinIconButton::enterEvent(QEnterEvent*) {
    hover_ = true;
    update();
}

void SkinIconButton::leaveEvent(QEvent*) {
    hover_ = false;
    update();
}

} // namespace lumaro
