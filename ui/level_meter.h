#pragma once
// The display's level meter: a dial of 50 steps whose arc lights orange as
// the level (0..100) rises. Display only.

#include <QWidget>

namespace lumaro {

class LevelMeter : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSteps = 50;
    explicit LevelMeter(QWidget* parent = nullptr);

    int Value() const { return value_; }
    void SetValue(int value); // clamped to 0..100

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    int value_ = 0;
};

} // namespace lumaro
