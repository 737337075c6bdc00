#include "data/station_catalogue.h"

#include "data/scrambled_list_file.h"

namespace lumaro {

bool TStationCatalogue::LoadCatalogue(const std::string& fileName) {
    try {
        TScrambledListFile::LoadWideList(fileName, lines_, kListKey);
        loaded_ = true;
    } catch (const ListFileError&) {
        lines_.clear();
        loaded_ = false;
    }
    return loaded_;
}

void TStationCatalogue::SetLines(WideList lines) {
    lines_ = std::move(lines);
    loaded_ = true;
}

void TStationCatalogue::BuildAnsiCopy() {
    // No catalogue line holds a break character, so converting line by line
    // is the same as converting the joined text and splitting it again.
    ansi_.clear();
    ansi_.reserve(lines_.size());
    for (const auto& line : lines_)
        ansi_.push_back(AnsiFromWide(line));
}

void TStationCatalogue::BuildSearchCopy() {
    search_.clear();
    search_.reserve(lines_.size());
    for (const auto& line : lines_)
        search_.push_back(SearchForm(line));
}

void TStationCatalogue::PrepareSearchCopy(const std::string& fileName) {
    if (FileExists(fileName)) {
        try {
            TScrambledListFile::LoadByteList(fileName, search_, kListKey);
            if (search_.size() == lines_.size()) return;
        } catch (const ListFileError&) {
        }
    }
    BuildSearchCopy();
    if (!loaded_) return;
    try {
        TScrambledListFile::SaveByteList(fileName, search_, kListKey);
    } catch (const ListFileError&) {
        // the copy in memory serves this run; the next start tries again
    }
}

} // namespace lumaro
