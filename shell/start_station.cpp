#include "shell/start_station.h"

#include "data/scrambled_list_file.h"
#include "shell/startup.h"

namespace lumaro {

TStartStation ChooseStartStation(std::string_view firstArgument, const TStationCatalogue& catalogue,
                                 const TPersonalList& favorites, const TPersonalList& recent) {
    TStartStation start;
    if (IsStationArgument(firstArgument)) {
        start.Completed = ParseStationArgument(firstArgument, start.ArgumentParts, catalogue, favorites,
                                               recent, start.StationLine);
        return start;
    }
    if (!FileExists("index.dat")) return start;
    WideList defaults;
    try {
        TScrambledListFile::LoadWideList("index.dat", defaults, kListKey);
    } catch (const ListFileError&) {
        start.Completed = false;
        return start;
    }
    if (!defaults.empty()) start.StationLine = defaults.front();
    return start;
}

} // namespace lumaro
