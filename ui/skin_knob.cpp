#include "ui/skin_knob.h"

#include "ui/skin_style.h"

#include <QAccessible>
#include <QConicalGradient>
#include <QKeyEvent>
#include <QPainter>
#include <QtMath>

namespace lumaro {

namespace {
constexpr double kStartDeg = 225.0; // the minimum, lower left
constexpr double kSweepDeg = 270.0; // clockwise to the maximum, lower right
} // namespace

SkinKnob::SkinKnob(int minimum, int maximum, int value, QWidget* parent)
    : QWidget(parent), min_(minimum), max_(maximum), value_(qBound(minimum, value, maximum)) {
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::SizeVerCursor);
}

int SkinKnob::Step() const { return qMax(1, (max_ - min_) / 40); }

void SkinKnob::SetValue(int value) {
    value = qBound(min_, value, max_);
    if (value == value_) return;
    value_ = value;
    update();
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(this, value_);
        QAccessible::updateAccessibility(&event);
    }
    emit valueChanged(value_);
}

void SkinKnob::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    const double side = qMin(width(), height());
    const QPointF c(width() / 2.0, height() / 2.0);
    const bool big = side > 60;
    const double outer = side / 2.0 - 1.0;
    const double cap = big ? outer - 11.0 : outer - 6.0;
    const double fraction = max_ > min_ ? double(value_ - min_) / (max_ - min_) : 0.0;
    const int ticks = big ? 31 : 11;

    auto at = [&](double deg, double radius) {
        const double a = qDegreesToRadians(deg);
        return c + QPointF(radius * std::cos(a), -radius * std::sin(a));
    };

    // the arc of ticks; those up to the position glow faintly orange
    for (int i = 0; i < ticks; ++i) {
        const double t = double(i) / (ticks - 1);
        const double deg = kStartDeg - kSweepDeg * t;
        const bool lit = t <= fraction + 1e-9;
        const bool major = i == 0 || i == ticks - 1 || i == (ticks - 1) / 2;
        QColor color = lit ? skin::kAccent : QColor(96, 104, 118);
        if (lit && !major) color.setAlpha(big ? 200 : 170);
        p.setPen(QPen(color, big ? 1.6 : 1.2, Qt::SolidLine, Qt::RoundCap));
        const double inner = outer - (major ? (big ? 6.5 : 4.0) : (big ? 4.0 : 2.5));
        p.drawLine(at(deg, inner), at(deg, outer - 0.5));
    }

    // cap: a soft shadow, a dark rim, then brushed metal with a radial sheen
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawEllipse(c + QPointF(0, big ? 2.0 : 1.2), cap + 1.5, cap + 1.5);
    p.setBrush(QColor(14, 15, 18));
    p.drawEllipse(c, cap + 1.0, cap + 1.0);
    QConicalGradient metal(c, 90);
    const QColor a(124, 130, 142), b(84, 90, 102), hi(160, 166, 178);
    metal.setColorAt(0.00, hi);
    metal.setColorAt(0.12, b);
    metal.setColorAt(0.25, a);
    metal.setColorAt(0.38, b);
    metal.setColorAt(0.50, hi);
    metal.setColorAt(0.62, b);
    metal.setColorAt(0.75, a);
    metal.setColorAt(0.88, b);
    metal.setColorAt(1.00, hi);
    p.setBrush(metal);
    p.drawEllipse(c, cap, cap);
    // light from above: the top of the cap brighter, the bottom in shade
    QLinearGradient shade(c - QPointF(0, cap), c + QPointF(0, cap));
    shade.setColorAt(0, QColor(255, 255, 255, 40));
    shade.setColorAt(0.5, QColor(255, 255, 255, 0));
    shade.setColorAt(1, QColor(0, 0, 0, 70));
    p.setBrush(shade);
    p.drawEllipse(c, cap, cap);
    // a fine top face, one step inset
    p.setPen(QPen(QColor(255, 255, 255, 28), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, cap * 0.78, cap * 0.78);

    // indicator: a short orange line toward the rim
    const double deg = kStartDeg - kSweepDeg * fraction;
    p.setPen(QPen(QColor(0, 0, 0, 120), big ? 4.0 : 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(at(deg, cap * 0.50) + QPointF(0, 0.8), at(deg, cap * 0.86) + QPointF(0, 0.8));
    p.setPen(QPen(hasFocus() ? skin::kAccent.lighter(125) : skin::kAccent, big ? 3.0 : 2.0, Qt::SolidLine,
                  Qt::RoundCap));
    p.drawLine(at(deg, cap * 0.50), at(deg, cap * 0.86));
}

void SkinKnob::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragging_ = true;
    dragFrom_ = event->position().toPoint();
    dragValue_ = value_;
}

void SkinKnob::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) return;
    // a drag of 150 pixels covers the whole range; up or right raises it
    const QPoint d = event->position().toPoint() - dragFrom_;
    const int pixels = d.x() - d.y();
    SetValue(dragValue_ + static_cast<int>(std::lround(pixels * double(max_ - min_) / 150.0)));
}

void SkinKnob::mouseReleaseEvent(QMouseEvent*) { dragging_ = false; }

void SkinKnob::wheelEvent(QWheelEvent* event) {
    wheelRest_ += event->angleDelta().y();
    const int notches = wheelRest_ / 120;
    wheelRest_ -= notches * 120;
    if (notches != 0) SetValue(value_ + notches * Step());
    event->accept();
}

void SkinKnob::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Right: SetValue(value_ + Step()); break;
    case Qt::Key_Down:
    case Qt::Key_Left: SetValue(value_ - Step()); break;
    case Qt::Key_PageUp: SetValue(value_ + 5 * Step()); break;
    case Qt::Key_PageDown: SetValue(value_ - 5 * Step()); break;
    case Qt::Key_Home: SetValue(min_); break;
    case Qt::Key_End: SetValue(max_); break;
    default: QWidget::keyPressEvent(event); return;
    }
}

} // namespace lumaro
