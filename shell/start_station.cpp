#include "shell/start_station.h"

#include "data/scrambled_list_file.h"
#include "shell/startup.h"

namespace lumaro {

TStartStation ChooseStartStation(std::string_view firstArgument, const TStationCatalogue& catalogue,
                                 const TPersonalList& favorites, const TPersonalList& recent,
                                 const std::string& indexFile) {
    TStartStation start;
    if (IsStationArgument(firstArgument)) {
        start.Completed = ParseStationArgument(firstArgument, start.ArgumentParts, catalogue, favorites,
                                               recent, start.StationLine);
        return start;
    }
    if (!FileExists(indexFile)) return start;
    WideList defaults;
    try {
        TScrambledListFile::LoadWideList(indexFile, defaults, kListKey);
    } catch (const ListFileError&) {
        start.Completed = false;
        return start;
    }
    if (!defaults.empty()) start.StationLine = defaults.front();
    return start;
}

} // namespace lumaro
