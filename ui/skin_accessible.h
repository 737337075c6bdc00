#pragma once
// What assistive technology (AT-SPI on Linux) reads from the skin's widgets:
// grids as lists with rows and a current row, knobs, bars and the meter as
// values, switches as check boxes or buttons, clickable captions as buttons.

namespace lumaro {

// Installs the factory once; later calls do nothing.
void InstallSkinAccessibility();

} // namespace lumaro
