#pragma once
// The texts of the Station Info window for one station record.

#include "data/station_record.h"

#include <optional>

namespace lumaro {

struct TStationInfoContent {
    std::u16string Name, Style, Country, Language; // each with a leading space
    WideList Urls;                                  // at most six, each longer than 4 characters
    std::u16string Description;                     // "<newline>" markers turned into CR LF
};

// Nothing when the record holds fewer than two entries (no station yet).
std::optional<TStationInfoContent> MakeStationInfo(const TStationRecord& record);

} // namespace lumaro
