#include "ui/skin_label.h"

#include "ui/skin_style.h"

#include <QMouseEvent>
#include <QPainter>

namespace lumaro {

SkinLabel::SkinLabel(const QString& text, QWidget* parent, int pixelSize, bool bold) : QLabel(text, parent) {
    setFont(skin::Font(pixelSize, bold));
    setAttribute(Qt::WA_TranslucentBackground);
}

void SkinLabel::SetTextColor(const QColor& color) {
    if (color_ == color) return;
    color_ = color;
    update();
}

void SkinLabel::SetShadow(bool on) {
    shadow_ = on;
    update();
}

void SkinLabel::SetClickable(bool on) {
    clickable_ = on;
    setCursor(on ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void SkinLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setFont(font());
    QColor color = color_;
    if (clickable_ && hover_) color = color.lightness() < 90 ? QColor(252, 252, 252) : skin::kAccent.lighter(115);
    const int flags = int(alignment()) | Qt::TextSingleLine;
    skin::DrawShadowText(p, contentsRect(), flags, text(), color, shadow_);
}

void SkinLabel::mousePressEvent(QMouseEvent* event) {
    if (!clickable_) {
        // plain text: the press belongs to the window below (moving it)
        event->ignore();
        return;
    }
    down_ = event->button() == Qt::LeftButton;
    emit pressed(event->button());
    event->accept();
}

void SkinLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (!clickable_) {
        event->ignore();
        return;
    }
    const bool inside = rect().contains(event->position().toPoint());
    if (down_ && event->button() == Qt::LeftButton && inside) emit clicked();
    down_ = false;
    event->accept();
}

void SkinLabel::enterEvent(QEnterEvent*) {
    hover_ = true;
    if (clickable_) update();
}

void SkinLabel::leaveEvent(QEvent*) {
    hover_ = false;
    if (clickable_) update();
}

} // namespace lumaro
