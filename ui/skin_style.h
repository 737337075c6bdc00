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

inline const QColor kAccent{248, 149, 60};      // the orange of current and playing rows
inline const QColor kBodyTop{0x2B, 0x2F, 0x38}; // window body gradient
inline const QColor kBodyBottom{0x1C, 0x1F, 0x25};
inline const QColor kRecording{226, 58, 52};
inline const QColor kLcdText{236, 226, 208}; // warm backlit text of the display

// Text of the display: the status line, the bit-rate line, the "recording" mark.
inline const QColor kLcdStatusText{196, 204, 214};
inline const QColor kLcdSmallText{140, 154, 172};
inline const QColor kLcdRecordingText{160, 160, 160}; // small grey bold, quieter than the red switch
// Captions on the body: switches and knobs, the volume knob's, the window
// buttons', a section's.
inline const QColor kCaptionText{214, 218, 226};
inline const QColor kStrongCaptionText{206, 210, 218};
inline const QColor kFaintCaptionText{176, 182, 194};
inline const QColor kSectionText{150, 158, 172};
// Text on the light caption rail and the information line: a caption, a view
// label before its first press, the active view label, the information line.
inline const QColor kRailText{20, 20, 20};
inline const QColor kRailFirstText{13, 13, 13};
inline const QColor kRailActiveText{255, 255, 255};
inline const QColor kInformationText{108, 108, 108};
inline const QColor kCountText{202, 202, 202};

// The lists: category rows and their bottom line; result rows, the current
// row and their bottom line.
inline const QColor kCategoryRow{104, 116, 134};
inline const QColor kCategoryLine{65, 73, 85};
inline const QColor kResultRow{71, 77, 90};
inline const QColor kResultCurrent{98, 104, 117};
inline const QColor kResultLine{59, 67, 83};

// Menus: text, border, and the dark text on the accent of the chosen entry.
inline const QColor kMenuText{0xEE, 0xF0, 0xF3};
inline const QColor kMenuBorder{0x0B, 0x0C, 0x0F};
inline const QColor kTextOnAccent{0x14, 0x14, 0x14};

// The Station Info window: text, value fields and their frames, the scroll
// bar's trough and handle (plain and under the pointer).
inline const QColor kInfoText{242, 242, 242};
inline const QColor kInfoField{71, 77, 90};
inline const QColor kInfoFrame{85, 85, 85};
inline const QColor kScrollTrough{0x1F, 0x22, 0x28};
inline const QColor kScrollHandle{0x70, 0x78, 0x88};
inline const QColor kScrollHandleHover{0x8A, 0x93, 0xA3};

// Liberation Sans (what "Arial" resolves to) at a pixel size.
QFont Font(int pixelSize, bool bold = false);

// The style sheet of every pop-up menu, in the palette's colours.
QString MenuStyleSheet();

// Text with the skin's shadow: black one pixel right and down, then the text
// itself in color. flags are Qt::Alignment / Qt::TextFlag values.
void DrawShadowText(QPainter& p, const QRect& rect, int flags, const QString& text, const QColor& color,
                    bool shadow = true);

// A panel pressed one step into the body: darker fill, a dark top and left
// edge and a 1 px highlight along the lower edge.
void DrawRecessedPanel(QPainter& p, const QRect& rect, const QColor& top, const QColor& bottom,
                       int radius = 3);

// A 1 px line as a filled rectangle (a pen line would blur at odd scales).
void HLine(QPainter& p, int x1, int x2, int y, const QColor& color);
void VLine(QPainter& p, int x, int y1, int y2, const QColor& color);

} // namespace lumaro::skin
