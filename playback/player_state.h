#pragma once
// Playback state shared by the connection worker, the window, the timers, the
// effect chain and the recorder. Fields are filled in as those layers land.

#include "data/station_record.h"

#include <string>

namespace lumaro {

struct TPlayerState {
    // The station line most recently started or chosen; window thread.
    std::u16string StationLine;
    // StationLine split; window thread.
    TStationRecord StationFields;
    // Index of the URL field tried, counted from field 5.
    int AttemptNumber = 0;
    bool AutoRetry = true;
    bool ClipboardMode = false;
    bool Connecting = false;
};

} // namespace lumaro
