#pragma once
// The arithmetic behind the status timers: level meter, settling of the status
// line, scrolling of the information line.

#include "engine/audio_library.h"

#include <string>

namespace lumaro {

// Meter position 0..100 for a level word (left in the low 16 bits, right in the
// high 16 bits): ((left + right) div 2) div 1000 * 100 div 32. A failed level
// read (all bits set) gives 0.
int LevelMeterPosition(engine::DWORD level);

// The status line once sound arrives: "connecting..." or any text containing
// "buffering" becomes the station's name; anything else stays.
std::u16string SettledStatusText(const std::u16string& status, const std::u16string& stationName);

// The information line scrolled by one character: the first character moves to
// the end (a surrogate pair moves whole).
std::u16string RotateInformationText(const std::u16string& text);

} // namespace lumaro
