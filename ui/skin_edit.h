#pragma once
// The flat text box of the browser. Up, Down, Page Up and Page Down are
// handed to the list below it as posted key presses, so the list moves while
// the focus (and the text cursor) stay in the box.

#include <QLineEdit>
#include <QPointer>

namespace lumaro {

class SkinEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit SkinEdit(QWidget* parent = nullptr);

    // The widget that receives the navigation keys; none by default.
    void SetKeyTarget(QWidget* target) { target_ = target; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<QWidget> target_;
};

} // namespace lumaro
