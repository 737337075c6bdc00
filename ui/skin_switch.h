#pragma once
// A small LED pill switch, 25 by 12: dark when idle, orange when on, red
// while recording. Window buttons use it with a glyph.

#include <QWidget>

namespace lumaro {

class SkinSwitch : public QWidget {
    Q_OBJECT
public:
    enum class State { Idle, On, Recording };
    enum class Glyph { None, Minimize, Close };

    // A toggle keeps a state for others to read (0 off, 1 on); a push button
    // only clicks.
    SkinSwitch(bool toggle, QWidget* parent = nullptr, Glyph glyph = Glyph::None);

    bool IsToggle() const { return toggle_; }
    State CurrentState() const { return state_; }
    void SetState(State state);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool toggle_;
    Glyph glyph_;
    State state_ = State::Idle;
    bool hover_ = false;
    bool down_ = false;
};

} // namespace lumaro
