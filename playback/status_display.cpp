#include "playback/status_display.h"

namespace lumaro {

int LevelMeterPosition(engine::DWORD level) {
    if (level == ~engine::DWORD{0}) return 0;
    const engine::DWORD left = level & 0xFFFF;
    const engine::DWORD right = level >> 16;
    const int position = static_cast<int>((left + right) / 2 / 1000 * 100 / 32);
    return position > 100 ? 100 : position;
}

std::u16string SettledStatusText(const std::u16string& status, const std::u16string& stationName) {
    std::u16string text = status;
    if (text == u"connecting...") text = stationName;
    if (text.find(u"buffering") != std::u16string::npos) text = stationName;
    return text;
}

std::u16string RotateInformationText(const std::u16string& text) {
    if (text.empty()) return text;
    size_t first = 1;
    if (text.size() >= 2 && text[0] >= 0xD800 && text[0] <= 0xDBFF && text[1] >= 0xDC00 && text[1] <= 0xDFFF)
        first = 2;
    return text.substr(first) + text.substr(0, first);
}

} // namespace lumaro
