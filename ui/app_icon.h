#pragma once
// The program's icon: a charcoal tile with a tuning dial whose arc lights in
// the skin's orange. Drawn in code so the window, the tray and the installed
// PNGs share one design; small sizes get a simpler, pixel-aligned drawing so
// they stay sharp from 16 px on.

#include <QIcon>
#include <QImage>

namespace lumaro {

// The icon drawn at size x size device pixels, on a transparent background.
QImage RenderAppIcon(int size);

// Every size a desktop asks for (16 to 256 px), for the window and the tray.
QIcon AppIcon();

} // namespace lumaro
