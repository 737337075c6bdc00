#pragma once
// Moving a borderless window by its background, and where the main window goes
// each time it becomes the active one.

#include "data/text_codec.h"

class QWidget;

namespace lumaro {

class TWindowMover {
public:
    explicit TWindowMover(QWidget& window) : window_(window) {}

    // A press on the background: the window follows the pointer, moved by the
    // window manager, until the button is released.
    void BeginMove();

    // The start-up station argument split at "@"; written once, read on every
    // activation.
    void SetStartArgumentParts(ByteList parts) { startArgumentParts_ = std::move(parts); }
    const ByteList& StartArgumentParts() const { return startArgumentParts_; }
    // On every activation: 30 pixels right of and below the launching window
    // when the argument carried its position; otherwise where it is.
    void ApplyActivationPlacement();

private:
    QWidget& window_;
    ByteList startArgumentParts_;
};

} // namespace lumaro
