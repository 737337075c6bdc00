#pragma once
// The skin's palette, type and the few drawing steps every widget shares.
// Everything is drawn on whole logical pixels so it stays sharp at any
// device pixel ratio.

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QPainter;

namespace lumaro::skin {

inline const QColor kAccent{248, 149, 60};       // the orange of current and playing rows
inline const QColor kBodyTop{0x2B, 0x2F, 0x38};   // window body gradient
inline const QColor kBodyBottom{0x1C, 0x1F, 0x25};
inline const QColor kRecording{226, 58, 52};
inline const QColor kLcdText{236, 226, 208};      // warm backlit text of the display

// Liberation Sans (what "Arial" resolves to) at a pixel size.
QFont Font(int pixelSize, bool bold = false);

// Text with the skin's shadow: black one pixel right and down, then the text
// itself in color. flags are Qt::Alignment / Qt::TextFlag values.
void DrawShadowText(QPainter& p, const QRect& rect, int flags, const QString& text, const QColor& color,
                    bool shadow = true);

// A panel pressed one step into the body: darker fill, a dark top and left
// edge and a 1 px highlight along the lower edge.
void DrawRecessedPanel(QPainter& p, const QRect& rect, const QColor& top, const QColor& bottom, int radius = 3);

// A 1 px line as a filled rectangle (a pen line would blur at odd scales).
void HLine(QPainter& p, int x1, int x2, int y, const QColor& color);
void VLine(QPainter& p, int x, int y1, int y2, const QColor& color);

} // namespace lumaro::skin
