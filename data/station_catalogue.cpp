#include "data/station_catalogue.h"

#include "data/scrambled_list_file.h"

#include <cinttypes>
#include <cstdio>
#include <filesystem>

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace lumaro {

namespace {

std::string StampOf(std::string_view bytes) {
    char text[64];
    std::snprintf(text, sizeof text, "%zu %016" PRIx64, bytes.size(),
                  static_cast<uint64_t>(XXH3_64bits(bytes.data(), bytes.size())));
    return text;
}

} // namespace

bool TStationCatalogue::LoadCatalogue(const std::string& fileName) {
    try {
        std::string bytes = ReadWholeFile(fileName);
        stamp_ = StampOf(bytes);
        TScrambledListFile::Scramble(bytes, kListKey);
        lines_ = TScrambledListFile::DecodeWide(bytes);
        loaded_ = true;
    } catch (const ListFileError&) {
        lines_.clear();
        stamp_.clear();
        loaded_ = false;
    }
    return loaded_;
}

void TStationCatalogue::SetLines(WideList lines) {
    lines_ = std::move(lines);
    stamp_.clear();
    loaded_ = true;
}

const std::string& TStationCatalogue::ContentStamp() {
    if (stamp_.empty()) {
        // lines set directly: the stamp of the file they would be saved as
        std::string bytes = TScrambledListFile::EncodeWide(lines_);
        TScrambledListFile::Scramble(bytes, kListKey);
        stamp_ = StampOf(bytes);
    }
    return stamp_;
}

std::string TStationCatalogue::StampFileOf(const std::string& searchCopyFile) {
    std::filesystem::path path(searchCopyFile);
    return path.replace_extension(".stamp").string();
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
    const std::string stampFile = StampFileOf(fileName);
    if (FileExists(fileName) && FileExists(stampFile)) {
        try {
            ByteList stamp;
            TScrambledListFile::LoadByteList(stampFile, stamp, kListKey);
            if (stamp.size() == 1 && stamp[0] == ContentStamp()) {
                TScrambledListFile::LoadByteList(fileName, search_, kListKey);
                if (search_.size() == lines_.size()) return;
            }
        } catch (const ListFileError&) {
        }
    }
    BuildSearchCopy();
    if (!loaded_) return;
    try {
        // The old stamp goes first: a search copy left without its stamp is
        // rebuilt at the next start, never trusted.
        std::error_code ignored;
        std::filesystem::remove(stampFile, ignored);
        TScrambledListFile::SaveByteList(fileName, search_, kListKey);
        TScrambledListFile::SaveByteList(stampFile, {ContentStamp()}, kListKey);
    } catch (const ListFileError&) {
        // the copy in memory serves this run; the next start tries again
    }
}

} // namespace lumaro
