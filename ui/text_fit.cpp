#include "ui/text_fit.h"

#include <QFontMetrics>
#include <QTextLayout>

namespace lumaro::skin {

namespace {

bool IsBlanked(QChar c) {
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029;
}

} // namespace

QString ShownText(const QString& text) {
    QString shown = text.left(kMaxShownChars);
    // never end on the first half of a surrogate pair
    if (!shown.isEmpty() && shown.back().isHighSurrogate()) shown.chop(1);
    for (QChar& c : shown) {
        if (IsBlanked(c)) c = QLatin1Char(' ');
    }
    return shown;
}

QStringList WrapElided(const QString& text, const QFont& font, int width, int maxLines) {
    QStringList lines;
    const QString shown = ShownText(text);
    if (shown.isEmpty() || maxLines < 1 || width < 1) return lines;
    const QFontMetrics metrics(font);
    QTextLayout layout(shown, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (int i = 0; i < maxLines; ++i) {
        QTextLine line = layout.createLine();
        if (!line.isValid()) break;
        line.setLineWidth(width);
        const int start = line.textStart();
        const int end = start + line.textLength();
        const bool more = end < shown.size() || text.size() > shown.size();
        if (i == maxLines - 1 && more) {
            // the rest, as much as fits, then the ellipsis
            QString rest = shown.mid(start);
            if (text.size() > shown.size()) rest += QChar(0x2026);
            lines << metrics.elidedText(rest, Qt::ElideRight, width);
        } else {
            lines << shown.mid(start, end - start).trimmed();
        }
    }
    layout.endLayout();
    return lines;
}

QString ElideRight(const QString& text, const QFont& font, int width) {
    QString shown = ShownText(text);
    if (text.size() > shown.size()) shown += QChar(0x2026);
    return QFontMetrics(font).elidedText(shown, Qt::ElideRight, width);
}

QString ElideMiddle(const QString& text, const QFont& font, int width) {
    constexpr int kHalf = kMaxShownChars / 2;
    QString shown;
    if (text.size() > kMaxShownChars) {
        // both ends of a long text; its middle is elided in any case
        QString head = text.left(kHalf), tail = text.right(kHalf);
        if (!head.isEmpty() && head.back().isHighSurrogate()) head.chop(1);
        if (!tail.isEmpty() && tail.front().isLowSurrogate()) tail.remove(0, 1);
        shown = ShownText(head) + QChar(0x2026) + ShownText(tail);
    } else {
        shown = ShownText(text);
    }
    return QFontMetrics(font).elidedText(shown, Qt::ElideMiddle, width);
}

} // namespace lumaro::skin
