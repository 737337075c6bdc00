#pragma once
// The skin's slim vertical scroll bar. Its position drives a list's top row;
// it can be made inert, when it still moves but scrolls nothing.

#include <QWidget>

namespace lumaro {

class GaugeBar : public QWidget {
    Q_OBJECT
public:
    explicit GaugeBar(QWidget* parent = nullptr);

    // A maximum at or below the minimum becomes minimum + 1, so the bar
    // always has a step. The position is clamped into the new range.
    void SetRange(int minimum, int maximum);
    int Minimum() const { return min_; }
    int Maximum() const { return max_; }
    int Position() const { return pos_; }
    // Emits changed() when notify is set and the position moved.
    void SetPosition(int position, bool notify = true);
    // Rows shown per page, for the thumb's length and page steps.
    void SetPageSize(int rows);
    int PageSize() const { return page_; }
    void SetInert(bool inert) { inert_ = inert; }
    bool IsInert() const { return inert_; }

signals:
    // The position moved (by the user, or by SetPosition with notify).
    void changed(int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QRect ThumbRect() const;
    int PositionAt(int thumbTop) const;

    int min_ = 0, max_ = 1, pos_ = 0, page_ = 10;
    bool inert_ = false;
    bool hover_ = false;
    int dragOffset_ = -1; // pointer's distance from the thumb's top while dragging
    int wheelRest_ = 0;
};

} // namespace lumaro
