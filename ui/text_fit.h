#pragma once
// Fitting text of any length into a control of fixed size: a stream title of
// 4 kB, a station name of several hundred characters, a URL of 15,000. Only
// what can show is measured and drawn, so no text slows the window down.

#include <QFont>
#include <QString>
#include <QStringList>

namespace lumaro::skin {

// More characters than this never fit on any control of the skin.
inline constexpr int kMaxShownChars = 1000;

// The text as it is drawn: control characters and line breaks become spaces
// (a title may carry any byte), cut to kMaxShownChars.
QString ShownText(const QString& text);

// The text word-wrapped to width in font: at most maxLines lines, a word wider
// than the line broken where it must be; when text remains after the last
// line, that line is filled and ends in an ellipsis.
QStringList WrapElided(const QString& text, const QFont& font, int width, int maxLines);

// One line of text ending in an ellipsis when it is wider than width.
QString ElideRight(const QString& text, const QFont& font, int width);

// One line of text with its middle replaced by an ellipsis when it is wider
// than width: a URL keeps its scheme and host and the end of its path.
QString ElideMiddle(const QString& text, const QFont& font, int width);

} // namespace lumaro::skin
