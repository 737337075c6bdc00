#pragma once
// Moving a borderless window by its background, snapping its edges to the
// screen's, and where the main window goes each time it becomes the active one.

#include "data/text_codec.h"

#include <QObject>
#include <QPoint>
#include <QRect>

#include <optional>

class QWidget;

namespace lumaro {

// How near (pixels) an edge must come to the same edge of the work area to snap.
inline constexpr int kSnapDistance = 10;

// The top-left corner for a window at rect once each of its edges that lies
// within distance of the same edge of area has snapped onto it. When both
// edges of one direction qualify (a window as wide as the area), the left or
// top one wins.
QPoint SnapToEdges(const QRect& rect, const QRect& area, int distance = kSnapDistance);

// Moves a dialog to the centre of the window it belongs to, halves truncated
// toward zero; nothing without one. The main window is frameless, so its
// geometry is its outer edge (Qt's frame geometry can read 1 x 1 when the
// window manager framed it late).
void CentreOverOwner(QWidget& dialog);

// Where the main window goes when it becomes active: 30 pixels right of and
// below the launching window when the station argument carried its position;
// else the position read from settings.dat when remembering is on and one
// was read; else nowhere (it stays).
std::optional<QPoint> ActivationPosition(const ByteList& argumentParts, bool rememberPosition,
                                         std::optional<QPoint> remembered);

class TWindowMover : public QObject {
public:
    // snap: whether the window's edges snap to the work area's while it moves.
    explicit TWindowMover(QWidget& window, bool snap = true);

    // Handles are the widgets (the background) whose presses may start a move.
    void Attach(QWidget* handle);
    // From the last press on a handle, the window follows the pointer until
    // the buttons are released. Our own move rather than the window
    // manager's, so the edges snap on every desktop.
    void BeginMove();
    bool Moving() const { return moving_; }

    // The start-up station argument split at "@"; written once, read on every
    // activation.
    void SetStartArgumentParts(ByteList parts) { startArgumentParts_ = std::move(parts); }
    const ByteList& StartArgumentParts() const { return startArgumentParts_; }
    // The window position read from settings.dat, when one was.
    void SetRememberedPosition(std::optional<QPoint> position) { remembered_ = position; }
    // On every activation of the window (see ActivationPosition).
    void ApplyActivationPlacement(bool rememberPosition);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MoveTo(QPoint globalPointer);

    QWidget& window_;
    const bool snap_;
    bool moving_ = false;
    QPoint lastPress_, pressPointer_, pressWindow_;
    ByteList startArgumentParts_;
    std::optional<QPoint> remembered_;
};

} // namespace lumaro
