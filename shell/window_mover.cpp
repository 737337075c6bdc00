#include "shell/window_mover.h"

#include "shell/startup.h"

#include <QWidget>
#include <QWindow>

namespace lumaro {

void TWindowMover::BeginMove() {
    if (QWindow* handle = window_.window()->windowHandle()) handle->startSystemMove();
}

void TWindowMover::ApplyActivationPlacement() {
    if (const auto origin = ArgumentWindowOrigin(startArgumentParts_))
        window_.move(origin->left, origin->top);
}

} // namespace lumaro
