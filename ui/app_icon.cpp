#include "ui/app_icon.h"

#include "ui/skin_style.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace lumaro {

namespace {

// The dial's arc runs clockwise from lower left to lower right (270 degrees);
// this share of it is lit, and the needle points at its end.
constexpr double kArcStart = 225.0;
constexpr double kArcSweep = -270.0;
constexpr double kLitShare = 0.65;

const QColor kTileEdge(0x0B, 0x0C, 0x0F);
const QColor kArcUnlit(0x47, 0x4D, 0x5A);
const QColor kGlassCentre(0x27, 0x31, 0x3E);
const QColor kGlassEdge(0x12, 0x16, 0x1D);
const QColor kHub(0xD8, 0xDC, 0xE3);

} // namespace

QImage RenderAppIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    const bool small = size <= 24;

    // the tile
    const double inset = small ? 0.5 : std::round(s * 0.03) + 0.5;
    const QRectF tile(inset, inset, s - 2 * inset, s - 2 * inset);
    const double radius = std::max(2.5, s * 0.18);
    QLinearGradient body(0, tile.top(), 0, tile.bottom());
    body.setColorAt(0, skin::kBodyTop);
    body.setColorAt(1, skin::kBodyBottom);
    p.setPen(QPen(kTileEdge, 1));
    p.setBrush(body);
    p.drawRoundedRect(tile, radius, radius);
    if (!small) {
        // a faint highlight along the top edge, like the window's panels
        p.setPen(QPen(QColor(255, 255, 255, 28), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(tile.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
    }

    // the dial
    const QPointF centre(s / 2, s * (small ? 0.5 : 0.53));
    const double arcWidth = std::max(2.0, std::round(s * 0.085));
    const double arcRadius = s * (small ? 0.32 : 0.30);
    const QRectF arcRect(centre.x() - arcRadius, centre.y() - arcRadius, 2 * arcRadius, 2 * arcRadius);
    if (!small) {
        const double glass = arcRadius - arcWidth / 2 - std::max(1.0, s * 0.02);
        QRadialGradient face(centre, glass);
        face.setColorAt(0, kGlassCentre);
        face.setColorAt(1, kGlassEdge);
        p.setPen(Qt::NoPen);
        p.setBrush(face);
        p.drawEllipse(centre, glass, glass);
    }
    const double litSweep = kArcSweep * kLitShare;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kArcUnlit, arcWidth, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(arcRect, int((kArcStart + litSweep) * 16), int((kArcSweep - litSweep) * 16));
    p.setPen(QPen(skin::kAccent, arcWidth, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(arcRect, int(kArcStart * 16), int(litSweep * 16));

    // the needle, pointing at the end of the lit arc
    const double angle = (kArcStart + litSweep) * M_PI / 180.0;
    const double reach = arcRadius - arcWidth * (small ? 0.5 : 1.1);
    const QPointF tip(centre.x() + reach * std::cos(angle), centre.y() - reach * std::sin(angle));
    p.setPen(QPen(skin::kAccent, std::max(1.5, s * 0.05), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, tip);
    const double hub = std::max(1.5, s * 0.06);
    p.setPen(Qt::NoPen);
    p.setBrush(kHub);
    p.drawEllipse(centre, hub, hub);
    return image;
}

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(RenderAppIcon(size)));
    return icon;
}

} // namespace lumaro
