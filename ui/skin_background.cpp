#include "ui/skin_background.h"

#include "ui/skin_style.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

namespace lumaro {

using namespace skin;

SkinBackground::SkinBackground(Layout layout, QWidget* parent) : QWidget(parent), layout_(layout) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SkinBackground::mousePressEvent(QMouseEvent* event) {
    emit pressed(event->button());
}

void SkinBackground::paintEvent(QPaintEvent* event) {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (picture_.size() != pixels || picture_.devicePixelRatio() != ratio) {
        picture_ = QPixmap(pixels);
        picture_.setDevicePixelRatio(ratio);
        picture_.fill(Qt::black);
        QPainter p(&picture_);
        if (layout_ == Layout::MainWindow)
            PaintMainWindow(p);
        else
            PaintStationInfo(p);
    }
    QPainter p(this);
    const QRect area = event->rect();
    p.drawPixmap(area, picture_, QRectF(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio));
}

namespace {

void PaintBody(QPainter& p, const QRect& r) {
    QLinearGradient body(r.topLeft(), r.bottomLeft());
    body.setColorAt(0, kBodyTop);
    body.setColorAt(1, kBodyBottom);
    p.fillRect(r, body);
    // a fine grain so the large areas do not look flat
    for (int y = r.top() + 2; y < r.bottom(); y += 2)
        HLine(p, r.left() + 1, r.right() - 1, y, QColor(255, 255, 255, 5));
    // outer edge: dark line, then a highlight inside it
    p.setPen(Qt::NoPen);
    HLine(p, r.left(), r.right(), r.top(), QColor(6, 7, 9));
    HLine(p, r.left(), r.right(), r.bottom(), QColor(6, 7, 9));
    VLine(p, r.left(), r.top(), r.bottom(), QColor(6, 7, 9));
    VLine(p, r.right(), r.top(), r.bottom(), QColor(6, 7, 9));
    HLine(p, r.left() + 1, r.right() - 1, r.top() + 1, QColor(86, 92, 106));
    VLine(p, r.left() + 1, r.top() + 1, r.bottom() - 1, QColor(58, 63, 74));
    VLine(p, r.right() - 1, r.top() + 1, r.bottom() - 1, QColor(38, 42, 50));
}

// The display's glass: deep blue-grey with a faint inner glow.
void PaintLcd(QPainter& p, const QRect& r) {
    DrawRecessedPanel(p, r, QColor(30, 38, 49), QColor(21, 27, 35), 4);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    QRadialGradient glow(QPointF(r.center().x(), r.top() + r.height() * 0.35), r.width() * 0.6);
    glow.setColorAt(0, QColor(120, 150, 180, 34));
    glow.setColorAt(1, QColor(120, 150, 180, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawRoundedRect(QRectF(r).adjusted(2, 2, -2, -2), 3, 3);
    // a thin reflection across the upper glass
    QLinearGradient sheen(r.topLeft(), QPoint(r.left(), r.top() + 14));
    sheen.setColorAt(0, QColor(255, 255, 255, 20));
    sheen.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(sheen);
    p.drawRoundedRect(QRectF(r.left() + 3, r.top() + 2, r.width() - 6, 14), 2, 2);
    p.restore();
}

// A brushed rail on which the dark captions sit.
void PaintRail(QPainter& p, const QRect& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 28));
    p.drawRoundedRect(QRectF(r).translated(0, 1), 3, 3);
    p.setBrush(QColor(10, 11, 14));
    p.drawRoundedRect(QRectF(r), 3, 3);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(150, 158, 171));
    g.setColorAt(0.5, QColor(128, 136, 149));
    g.setColorAt(1, QColor(112, 120, 133));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(r).adjusted(1, 1, -1, -1), 2, 2);
    p.setRenderHint(QPainter::Antialiasing, false);
    HLine(p, r.left() + 2, r.right() - 2, r.top() + 1, QColor(196, 202, 212));
    // brushing
    for (int y = r.top() + 3; y < r.bottom() - 1; y += 2)
        HLine(p, r.left() + 2, r.right() - 2, y, QColor(255, 255, 255, 9));
    p.restore();
}

void Separator(QPainter& p, int x, int top, int bottom) {
    VLine(p, x, top, bottom, QColor(80, 86, 98));
    VLine(p, x + 1, top, bottom, QColor(178, 184, 194));
}

void Caption(QPainter& p, const QRect& r, const QString& text, int flags = Qt::AlignLeft | Qt::AlignVCenter,
             const QColor& color = QColor(150, 158, 172)) {
    p.setFont(Font(10, true));
    DrawShadowText(p, r, flags, text, color);
}

} // namespace

void SkinBackground::PaintMainWindow(QPainter& p) {
    PaintBody(p, rect());

    // title bar: the brand at the left, a hairline under the whole bar
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawEllipse(QPointF(27.5, 18.5), 4.5, 4.5);
    p.setBrush(QColor(28, 31, 37));
    p.drawEllipse(QPointF(27.5, 18.5), 2.0, 2.0);
    p.restore();
    p.setFont(Font(12, true));
    DrawShadowText(p, QRect(38, 10, 200, 18), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Lumaro"),
                   QColor(226, 229, 235));
    const int brandWidth = QFontMetrics(Font(12, true)).horizontalAdvance(QStringLiteral("Lumaro "));
    DrawShadowText(p, QRect(38 + brandWidth, 10, 200, 18), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Radio"), kAccent);
    HLine(p, 10, width() - 11, 30, QColor(16, 18, 22));
    HLine(p, 10, width() - 11, 31, QColor(62, 68, 80));

    // upper deck: display, switches, sound knobs
    PaintLcd(p, QRect(22, 36, 272, 84));
    DrawRecessedPanel(p, QRect(294 + 4, 36, 176, 84), QColor(36, 40, 48), QColor(30, 33, 40));
    DrawRecessedPanel(p, QRect(478, 36, 482, 84), QColor(36, 40, 48), QColor(30, 33, 40));
    Caption(p, QRect(486, 102, 200, 14), QStringLiteral("EQUALISER  ·  EFFECTS"));

    // middle rail: the information plate and the navigation captions
    {
        const QRect plate(172, 139, 520, 27);
        p.save();
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 28));
        p.drawRoundedRect(QRectF(plate).translated(0, 1), 3, 3);
        p.setBrush(QColor(10, 11, 14));
        p.drawRoundedRect(QRectF(plate), 3, 3);
        QLinearGradient g(plate.topLeft(), plate.bottomLeft());
        g.setColorAt(0, QColor(206, 211, 219));
        g.setColorAt(1, QColor(186, 192, 202));
        p.setBrush(g);
        p.drawRoundedRect(QRectF(plate).adjusted(1, 1, -1, -1), 2, 2);
        p.restore();
    }
    PaintRail(p, QRect(694, 139, 266, 27));
    for (int x : {744, 809, 869, 916})
        Separator(p, x, 143, 161);

    // left column: meter well, brand plate, volume
    DrawRecessedPanel(p, QRect(14, 136, 122, 122), QColor(26, 30, 37), QColor(20, 23, 29), 6);
    DrawRecessedPanel(p, QRect(14, 340, 122, 132), QColor(36, 40, 48), QColor(30, 33, 40), 6);
    {
        // the wordmark between them
        p.setFont(Font(20, true));
        DrawShadowText(p, QRect(14, 272, 122, 26), Qt::AlignHCenter | Qt::AlignVCenter,
                       QStringLiteral("LUMARO"), QColor(70, 76, 90));
        p.setFont(Font(9, true));
        DrawShadowText(p, QRect(14, 297, 122, 14), Qt::AlignHCenter | Qt::AlignVCenter,
                       QStringLiteral("I N T E R N E T   R A D I O"), QColor(70, 76, 90));
        HLine(p, 40, 110, 318, kAccent.darker(180));
    }

    // the browser well
    DrawRecessedPanel(p, QRect(156, 168, 804, 288), QColor(33, 37, 45), QColor(26, 29, 36), 5);
    Caption(p, QRect(166, 170, 120, 14), QStringLiteral("STYLE"));
    Caption(p, QRect(338, 170, 120, 14), QStringLiteral("COUNTRY"));
    Caption(p, QRect(511, 170, 120, 14), QStringLiteral("LANGUAGE"));
    Caption(p, QRect(724, 170, 100, 14), QStringLiteral("STATIONS"));
    // thin dividers between the browser's columns
    for (int x : {328, 500}) {
        VLine(p, x, 186, 446, QColor(20, 22, 27));
        VLine(p, x + 1, 186, 446, QColor(52, 57, 67));
    }
    VLine(p, 712, 176, 446, QColor(20, 22, 27));
    VLine(p, 713, 176, 446, QColor(52, 57, 67));
}

void SkinBackground::PaintStationInfo(QPainter& p) {
    PaintBody(p, rect());
    // title strip
    QLinearGradient strip(QPoint(0, 0), QPoint(0, 19));
    strip.setColorAt(0, QColor(58, 63, 74));
    strip.setColorAt(1, QColor(40, 44, 52));
    p.fillRect(QRect(1, 1, width() - 2, 19), strip);
    HLine(p, 1, width() - 2, 20, QColor(10, 11, 14));
    HLine(p, 1, width() - 2, 21, QColor(62, 68, 80));
    HLine(p, 1, width() - 2, 1, QColor(96, 102, 116));
    p.fillRect(QRect(1, 1, 3, 19), kAccent);
}

} // namespace lumaro
