#pragma once
// The picture behind a skinned window: the charcoal body, its recessed
// panels, the display glass and the caption rail. A press on it is reported
// so the window can be moved by it.

#include <QPixmap>
#include <QWidget>

namespace lumaro {

class SkinBackground : public QWidget {
    Q_OBJECT
public:
    enum class Layout { MainWindow, StationInfo };
    explicit SkinBackground(Layout layout, QWidget* parent = nullptr);

signals:
    void pressed(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void PaintMainWindow(QPainter& p);
    void PaintStationInfo(QPainter& p);
    Layout layout_;
    // The whole picture, drawn once per size and pixel ratio: the meter and
    // the labels above it repaint many times a second, and each repaint then
    // copies only its own rectangle instead of drawing the body again.
    QPixmap picture_;
};

} // namespace lumaro
