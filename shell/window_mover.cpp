#include "shell/window_mover.h"

#include "shell/startup.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>

#include <cstdlib>

namespace lumaro {

QPoint SnapToEdges(const QRect& rect, const QRect& area, int distance) {
    // exclusive right and bottom edges, so a window flush with the area's
    // right edge ends exactly where the area does
    const auto snap = [distance](int start, int length, int areaStart, int areaLength) {
        if (std::abs(start - areaStart) <= distance) return areaStart;
        const int end = start + length, areaEnd = areaStart + areaLength;
        if (std::abs(end - areaEnd) <= distance) return areaEnd - length;
        return start;
    };
    return {snap(rect.x(), rect.width(), area.x(), area.width()),
            snap(rect.y(), rect.height(), area.y(), area.height())};
}

void CentreOverOwner(QWidget& dialog) {
    const QWidget* owner = dialog.parentWidget();
    if (!owner) return;
    const QRect m = owner->window()->geometry();
    dialog.move(m.left() + m.width() / 2 - dialog.width() / 2,
                m.top() + m.height() / 2 - dialog.height() / 2);
}

std::optional<QPoint> ActivationPosition(const ByteList& argumentParts, bool rememberPosition,
                                         std::optional<QPoint> remembered) {
    if (argumentParts.size() >= 4) {
        if (const auto origin = ArgumentWindowOrigin(argumentParts)) return QPoint(origin->left, origin->top);
        return std::nullopt; // a position that is no number: nowhere
    }
    if (rememberPosition) return remembered;
    return std::nullopt;
}

TWindowMover::TWindowMover(QWidget& window, bool snap) : window_(window), snap_(snap) {}

void TWindowMover::Attach(QWidget* handle) {
    handle->installEventFilter(this);
}

void TWindowMover::BeginMove() {
    moving_ = true;
    pressPointer_ = lastPress_;
    pressWindow_ = window_.window()->pos();
}

void TWindowMover::MoveTo(QPoint globalPointer) {
    QWidget* window = window_.window();
    QPoint target = pressWindow_ + (globalPointer - pressPointer_);
    if (snap_) {
        QScreen* screen = QGuiApplication::screenAt(globalPointer);
        if (!screen) screen = window->screen();
        if (screen)
            target = SnapToEdges(QRect(target, window->frameGeometry().size()), screen->availableGeometry());
    }
    if (target != window->pos()) window->move(target);
}

bool TWindowMover::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress)
        lastPress_ = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
    if (moving_) {
        switch (event->type()) {
        case QEvent::MouseMove:
            MoveTo(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            return true;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton) moving_ = false;
            return true;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void TWindowMover::ApplyActivationPlacement(bool rememberPosition) {
    if (const auto position = ActivationPosition(startArgumentParts_, rememberPosition, remembered_))
        window_.window()->move(*position);
}

} // namespace lumaro
