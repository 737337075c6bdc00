#pragma once
// A caption or text line of the skin: one line, clipped, or word-wrapped over
// the lines its height holds, optionally with the 1 px black shadow; a
// clickable one reports presses and clicks. Text of any length is shown
// without slowing down (only what fits is laid out).

#include <QLabel>

namespace lumaro {

class SkinLabel : public QLabel {
    Q_OBJECT
public:
    SkinLabel(const QString& text, QWidget* parent, int pixelSize = 11, bool bold = false);

    void SetTextColor(const QColor& color);
    QColor TextColor() const { return color_; }
    void SetShadow(bool on);
    // Word-wrapped over as many lines as the height holds; what does not fit
    // ends in an ellipsis on the last line.
    void SetWrapped(bool on);
    bool IsWrapped() const { return wrapped_; }
    // The lines as drawn now (one for an unwrapped label).
    QStringList ShownLines() const;
    // A clickable label shows a hand cursor, lights up under the pointer and is
    // a button to assistive technology.
    void SetClickable(bool on);
    bool IsClickable() const { return clickable_; }
    // A clickable text line (not a caption) stays static text to assistive
    // technology, read by its content.
    void SetAccessibleAsText(bool on) { asText_ = on; }
    bool IsAccessibleButton() const { return clickable_ && !asText_; }

signals:
    void pressed(Qt::MouseButton button);
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QColor color_{255, 255, 255};
    bool shadow_ = true;
    bool wrapped_ = false;
    // ShownLines() for the text, size and font it was made for
    mutable QStringList lines_;
    mutable QString linesText_;
    mutable QSize linesSize_;
    mutable QFont linesFont_;
    bool clickable_ = false;
    bool asText_ = false;
    bool hover_ = false;
    bool down_ = false;
};

} // namespace lumaro
