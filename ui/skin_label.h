#pragma once
// A caption or text line of the skin: one line, clipped, optionally with the
// 1 px black shadow; a clickable one reports presses and clicks.

#include <QLabel>

namespace lumaro {

class SkinLabel : public QLabel {
    Q_OBJECT
public:
    SkinLabel(const QString& text, QWidget* parent, int pixelSize = 11, bool bold = false);

    void SetTextColor(const QColor& color);
    QColor TextColor() const { return color_; }
    void SetShadow(bool on);
    // A clickable label shows a hand cursor, lights up under the pointer and is
    // a button to assistive technology.
    void SetClickable(bool on);
    bool IsClickable() const { return clickable_; }

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
    bool clickable_ = false;
    bool hover_ = false;
    bool down_ = false;
};

} // namespace lumaro
