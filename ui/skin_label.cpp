#include "ui/skin_label.h"

#include "ui/skin_style.h"
#include "ui/text_fit.h"

#include <QMouseEvent>
#include <QPainter>

namespace lumaro {

SkinLabel::SkinLabel(const QString& text, QWidget* parent, int pixelSize, bool bold) : QLabel(text, parent) {
    setFont(skin::Font(pixelSize, bold));
    setAttribute(Qt::WA_TranslucentBackground);
    // A line made without text shows data (a title, a name): "<b>" in it is
    // text, never markup to parse. Only then, as the format set on a label
    // with text would announce that text again before the label is finished.
    if (text.isNull()) setTextFormat(Qt::PlainText);
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

void SkinLabel::SetWrapped(bool on) {
    wrapped_ = on;
    update();
}

QStringList SkinLabel::ShownLines() const {
    const QRect r = contentsRect();
    if (lines_.isEmpty() || linesText_ != text() || linesSize_ != r.size() || linesFont_ != font()) {
        linesText_ = text();
        linesSize_ = r.size();
        linesFont_ = font();
        if (wrapped_) {
            const int maxLines = qMax(1, r.height() / QFontMetrics(font()).lineSpacing());
            lines_ = skin::WrapElided(linesText_, font(), r.width(), maxLines);
        } else {
            lines_ = QStringList{skin::ShownText(linesText_)};
        }
    }
    return lines_;
}

void SkinLabel::SetClickable(bool on) {
    clickable_ = on;
    setCursor(on ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void SkinLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setFont(font());
    QColor color = color_;
    if (clickable_ && hover_)
        color = color.lightness() < 128 ? skin::kAccent.darker(150) : skin::kAccent.lighter(115);
    const QStringList lines = ShownLines();
    const QRect r = contentsRect();
    if (!wrapped_) {
        const int flags = int(alignment()) | Qt::TextSingleLine;
        skin::DrawShadowText(p, r, flags, lines.value(0), color, shadow_);
        return;
    }
    // the block of lines placed by the vertical alignment, each line by the horizontal
    const int spacing = QFontMetrics(font()).lineSpacing();
    const int block = int(lines.size()) * spacing;
    int top = r.top();
    if (alignment() & Qt::AlignVCenter)
        top += (r.height() - block) / 2;
    else if (alignment() & Qt::AlignBottom)
        top += r.height() - block;
    const int flags = int(alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter | Qt::TextSingleLine;
    for (const QString& line : lines) {
        skin::DrawShadowText(p, QRect(r.left(), top, r.width(), spacing), flags, line, color, shadow_);
        top += spacing;
    }
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
