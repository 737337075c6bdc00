#pragma once
// The user's Favorites and the Recent list: whole station lines (or bare
// URLs), newest first, each persisted in its own scrambled list file.

#include "data/text_codec.h"

#include <string>

namespace lumaro {

class TPersonalList {
public:
    explicit TPersonalList(std::string fileName) : fileName_(std::move(fileName)) {}

    // Loads the file when it exists; a missing file is an empty list.
    // Raises ListFileError when the file exists but cannot be read.
    void LoadIfPresent();

    const std::string& FileName() const { return fileName_; }
    size_t Count() const { return entries_.size(); }
    const std::u16string& Entry(size_t i) const { return entries_[i]; }
    const WideList& Entries() const { return entries_; }

protected:
    std::string fileName_;
    WideList entries_; // position 0 is the newest
};

class TFavoritesList : public TPersonalList {
public:
    TFavoritesList() : TPersonalList("fav.dat") {}
};

class TRecentList : public TPersonalList {
public:
    static constexpr size_t kMaxEntries = 15;
    TRecentList() : TPersonalList("rec.dat") {}
};

} // namespace lumaro
