#pragma once
// A rotary knob: a matte metal cap with an orange indicator over an arc of
// ticks. Turned by dragging (up or right raises it), the wheel and, with the
// keyboard focus, the arrow keys.

#include <QWidget>

namespace lumaro {

class SkinKnob : public QWidget {
    Q_OBJECT
public:
    SkinKnob(int minimum, int maximum, int value, QWidget* parent = nullptr);

    int Minimum() const { return min_; }
    int Maximum() const { return max_; }
    int Value() const { return value_; }
    // Stores the nearer bound for a value outside the range; emits
    // valueChanged only when the stored value changes.
    void SetValue(int value);
    // One wheel notch or arrow key.
    int Step() const;

signals:
    void valueChanged(int value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int min_, max_, value_;
    QPoint dragFrom_;
    int dragValue_ = 0;
    bool dragging_ = false;
    int wheelRest_ = 0;
};

} // namespace lumaro
