#pragma once
// The user's Favorites and the Recent list: whole station lines (or bare
// URLs), newest first, each persisted in its own scrambled list file.

#include "data/list_file_state.h"
#include "data/text_codec.h"

#include <string>

namespace lumaro {

class TPersonalList {
public:
    explicit TPersonalList(std::string fileName) : fileName_(std::move(fileName)) {}

    // Loads the file when it exists; a missing file is an empty list.
    // Raises ListFileError when the file exists but cannot be read: the list
    // is then empty and its file is not written this run (FileState).
    void LoadIfPresent();

    // Writes the whole list (atomically); raises ListFileError. Does nothing
    // while the file is one that could not be read.
    void Save() const;
    // The same write on the list-file thread, for callers that must not wait
    // for the disk; a failure is not reported (see SaveListFileLater).
    void SaveLater() const;
    // Deletes the list's file when it exists; raises ListFileError when it
    // exists but cannot be deleted. Leaves a file that could not be read.
    void DeleteFile() const;
    // What loading found; Unreadable keeps every write away from the file.
    TListFileState FileState() const { return fileState_; }

    // Position of the first entry that is the same as text (letter case
    // ignored, anything else counts), or -1.
    int Find(std::u16string_view text) const;
    // Removes entry i; false (nothing changes) when there is no such entry.
    bool RemoveAt(size_t i);
    void Clear() { entries_.clear(); }

    const std::string& FileName() const { return fileName_; }
    size_t Count() const { return entries_.size(); }
    const std::u16string& Entry(size_t i) const { return entries_[i]; }
    const WideList& Entries() const { return entries_; }

protected:
    std::string fileName_;
    WideList entries_; // position 0 is the newest
    TListFileState fileState_ = TListFileState::Absent;
};

// Two texts are the same entry when they differ in letter case at most.
bool SameEntry(std::u16string_view a, std::u16string_view b);

class TFavoritesList : public TPersonalList {
public:
    explicit TFavoritesList(std::string fileName = "fav.dat") : TPersonalList(std::move(fileName)) {}
    // Puts line on top unless it is empty or already listed (which then stays
    // where it is). Returns whether the list changed; the caller saves.
    bool Add(std::u16string_view line);
};

class TRecentList : public TPersonalList {
public:
    static constexpr size_t kMaxEntries = 15;
    explicit TRecentList(std::string fileName = "rec.dat") : TPersonalList(std::move(fileName)) {}
    // Moves line to the top (removing its earlier entry) and keeps the newest
    // kMaxEntries. Returns false, changing nothing, for an empty line.
    bool EnterRecent(std::u16string_view line);
};

} // namespace lumaro
