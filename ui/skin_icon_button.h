#pragma once
// The small icon at the right of a text box: a magnifier while there is
// nothing to clear, a cross while there is.

#include <QWidget>

namespace lumaro {

class SkinIconButton : public QWidget {
    Q_OBJECT
public:
    enum class Picture { Magnifier, Cross };

    explicit SkinIconButton(QWidget* parent = nullptr);
    void SetPicture(Picture picture);
    Picture CurrentPicture() const { return picture_; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    Picture picture_ = Picture::Magnifier;
    bool hover_ = false;
    bool down_ = false;
};

} // namespace lumaro
