#include "ui/skin_edit.h"

#include "ui/skin_style.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>

namespace lumaro {

SkinEdit::SkinEdit(QWidget* parent) : QLineEdit(parent) {
    setFrame(false);
    setFont(skin::Font(11));
    setTextMargins(4, 0, 2, 0);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, QColor(0, 0, 0, 0));
    pal.setColor(QPalette::Text, QColor(236, 238, 242));
    pal.setColor(QPalette::Highlight, skin::kAccent);
    pal.setColor(QPalette::HighlightedText, QColor(20, 20, 20));
    pal.setColor(QPalette::PlaceholderText, QColor(118, 126, 140));
    setPalette(pal);
    setAttribute(Qt::WA_MacShowFocusRect, false);
}

void SkinEdit::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool navigation =
        key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown;
    if (navigation && target_) {
        // queued: the list handles it after this handler has returned
        QCoreApplication::postEvent(target_, new QKeyEvent(QEvent::KeyPress, key, event->modifiers()));
    }
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        event->accept(); // the box's own: the text cursor stays where it is
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void SkinEdit::paintEvent(QPaintEvent* event) {
    {
        QPainter p(this);
        const QRect r = rect();
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, QColor(22, 24, 29));
        g.setColorAt(1, QColor(33, 36, 43));
        p.fillRect(r, g);
        const QColor edge = hasFocus() ? skin::kAccent.darker(130) : QColor(12, 13, 16);
        skin::HLine(p, 0, r.right(), 0, edge);
        skin::VLine(p, 0, 0, r.bottom(), edge);
        skin::VLine(p, r.right(), 0, r.bottom(), hasFocus() ? edge : QColor(30, 33, 40));
        skin::HLine(p, 0, r.right(), r.bottom(), hasFocus() ? edge : QColor(78, 84, 96));
    }
    QLineEdit::paintEvent(event);
}

} // namespace lumaro
