#pragma once
// A station is one TAB-separated line: 0 name, 1 description, 2 style,
// 3 country, 4 language, 5.. stream URLs; or a bare stream URL.

#include "data/text_codec.h"

namespace lumaro {

// The fields of a split station line, always readable up to position 10.
using TStationRecord = std::vector<std::u16string>;

// True when "://" is absent or first occurs at 1-based position 1..6.
bool IsBareUrlEntry(std::u16string_view text);

void SplitStationLine(std::u16string_view text, TStationRecord& record);
inline TStationRecord SplitStationLine(std::u16string_view text) {
    TStationRecord record;
    SplitStationLine(text, record);
    return record;
}

// "name   description     Style: s    Country: c    Language: l      "
std::u16string StationSummary(const TStationRecord& record);

// Characters up to U+0020 removed from both ends.
std::u16string TrimWide(std::u16string_view text);

} // namespace lumaro
