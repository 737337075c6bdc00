#pragma once
// The start station: chosen once at start-up from the command line's station
// argument or from index.dat, the default station.

#include "data/text_codec.h"

#include <string>
#include <string_view>

namespace lumaro {

class TPersonalList;
class TStationCatalogue;

struct TStartStation {
    // The station argument split at "@" (empty without one); the window's
    // placement on activation reads it.
    ByteList ArgumentParts;
    // The start station's line; empty: none.
    std::u16string StationLine;
    // False when a station argument names no existing line or index.dat cannot
    // be read: that ends the Settings dialog's creation.
    bool Completed = true;
};

// From firstArgument when it holds "@" (index.dat is then not read), else from
// the first line of indexFile, when it exists.
TStartStation ChooseStartStation(std::string_view firstArgument, const TStationCatalogue& catalogue,
                                 const TPersonalList& favorites, const TPersonalList& recent,
                                 const std::string& indexFile = "index.dat");

} // namespace lumaro
