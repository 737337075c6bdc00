#include "ui/skin_style.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace lumaro::skin {

QFont Font(int pixelSize, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QString MenuStyleSheet() {
    const auto hex = [](const QColor& c) { return c.name(QColor::HexRgb); };
    return QStringLiteral("QMenu { background: %1; color: %2; border: 1px solid %3;"
                          " padding: 3px 0; font-family: Arial; font-size: 11px; }"
                          "QMenu::item { padding: 4px 22px 4px 14px; }"
                          "QMenu::item:selected { background: %4; color: %5; }"
                          "QMenu::separator { height: 1px; background: %6; margin: 3px 6px; }")
        .arg(hex(kBodyTop), hex(kMenuText), hex(kMenuBorder), hex(kAccent), hex(kTextOnAccent),
             hex(kResultRow));
}

void DrawShadowText(QPainter& p, const QRect& rect, int flags, const QString& text, const QColor& color,
                    bool shadow) {
    if (shadow) {
        p.setPen(QColor(0, 0, 0));
        p.drawText(rect.translated(1, 1), flags, text);
    }
    p.setPen(color);
    p.drawText(rect, flags, text);
}

void DrawRecessedPanel(QPainter& p, const QRect& r, const QColor& top, const QColor& bottom, int radius) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    // lower-edge highlight: the panel's rim one pixel lower, lighter than the body
    p.setBrush(QColor(255, 255, 255, 34));
    p.drawRoundedRect(QRectF(r).translated(0, 1), radius, radius);
    // dark rim
    p.setBrush(QColor(8, 9, 11, 230));
    p.drawRoundedRect(QRectF(r), radius, radius);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(r).adjusted(1, 1, -1, -1), qMax(0, radius - 1), qMax(0, radius - 1));
    // inner shadow under the top rim
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRect(QRectF(r.left() + 2, r.top() + 1, r.width() - 4, 1));
    p.restore();
}

void HLine(QPainter& p, int x1, int x2, int y, const QColor& color) {
    p.fillRect(QRect(QPoint(x1, y), QPoint(x2, y)), color);
}

void VLine(QPainter& p, int x, int y1, int y2, const QColor& color) {
    p.fillRect(QRect(QPoint(x, y1), QPoint(x, y2)), color);
}

} // namespace lumaro::skin
