#include "ui/level_meter.h"

#include "ui/skin_style.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

namespace lumaro {

LevelMeter::LevelMeter(QWidget* parent) : QWidget(parent) {}

void LevelMeter::SetValue(int value) {
    value = qBound(0, value, 100);
    if (value == value_) return;
    const int oldStep = value_ * (kSteps - 1) / 100;
    value_ = value;
    if (value_ * (kSteps - 1) / 100 != oldStep) update();
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(this, value_);
        QAccessible::updateAccessibility(&event);
    }
}

void LevelMeter::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    const double side = qMin(width(), height());
    const QPointF c(width() / 2.0, height() / 2.0 + 1);
    const double outer = side / 2.0 - 2.0;

    // the dial's glass: deep blue-grey with a faint glow in its middle
    QRadialGradient glass(c, outer);
    glass.setColorAt(0, QColor(50, 60, 74));
    glass.setColorAt(0.7, QColor(30, 37, 47));
    glass.setColorAt(1, QColor(20, 25, 32));
    p.setPen(QPen(QColor(8, 9, 11), 1));
    p.setBrush(glass);
    p.drawEllipse(c, outer, outer);
    p.setPen(QPen(QColor(255, 255, 255, 26), 1));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - outer - 1, c.y() - outer - 1, 2 * outer + 2, 2 * outer + 2), 200 * 16, 140 * 16);

    // 50 segments over 270 degrees; the lit ones orange, brightening to the top
    const int lit = value_ * kSteps / 100;
    const double r1 = outer - 14, r2 = outer - 5;
    for (int i = 0; i < kSteps; ++i) {
        const double deg = 225.0 - 270.0 * (i + 0.5) / kSteps;
        const double a = qDegreesToRadians(deg);
        const QPointF dir(std::cos(a), -std::sin(a));
        QColor color(58, 68, 82);
        if (i < lit) {
            color = i >= kSteps - 6 ? skin::kRecording : skin::kAccent;
            color = color.lighter(100 + 20 * i / kSteps);
        }
        p.setPen(QPen(color, 2.2, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(c + dir * r1, c + dir * r2);
    }

    // the readout: level in the middle, in the display's warm tint
    p.setFont(skin::Font(15, true));
    p.setPen(skin::kLcdText);
    const QRectF middle(c.x() - 30, c.y() - 12, 60, 20);
    p.drawText(middle, Qt::AlignCenter, QString::number(value_));
    p.setFont(skin::Font(9));
    p.setPen(QColor(130, 142, 158));
    p.drawText(QRectF(c.x() - 30, c.y() + 8, 60, 12), Qt::AlignCenter, QStringLiteral("LEVEL"));
}

void LevelMeter::mousePressEvent(QMouseEvent* event) { event->ignore(); }

} // namespace lumaro
