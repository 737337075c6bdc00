#include "data/personal_lists.h"

#include "data/list_file_writer.h"
#include "data/scrambled_list_file.h"

#include <cerrno>
#include <cstring>
#include <unicode/uchar.h>
#include <unicode/ustring.h>
#include <unistd.h>

namespace lumaro {

// Every direct use of a list file first lets the saves still queued for it
// land, so that an older queued save can never overwrite or resurrect it.

void TPersonalList::LoadIfPresent() {
    FlushListFileSaves();
    fileState_ = LoadWideListIfPresent(fileName_, entries_, kListKey);
    if (fileState_ == TListFileState::Unreadable)
        throw ListFileError("cannot read " + fileName_ + "; it is left as it is");
}

void TPersonalList::Save() const {
    if (!MayWrite(fileState_)) return;
    FlushListFileSaves();
    TScrambledListFile::SaveWideList(fileName_, entries_, kListKey);
}

void TPersonalList::SaveLater() const {
    if (!MayWrite(fileState_)) return;
    std::string bytes = TScrambledListFile::EncodeWide(entries_);
    TScrambledListFile::Scramble(bytes, kListKey);
    SaveListFileLater(fileName_, std::move(bytes));
}

void TPersonalList::DeleteFile() const {
    if (!MayWrite(fileState_)) return;
    FlushListFileSaves();
    if (::unlink(fileName_.c_str()) != 0 && errno != ENOENT)
        throw ListFileError("cannot delete " + fileName_ + ": " + std::strerror(errno));
}

bool SameEntry(std::u16string_view a, std::u16string_view b) {
    UErrorCode status = U_ZERO_ERROR;
    const int order =
        u_strCaseCompare(reinterpret_cast<const UChar*>(a.data()), static_cast<int32_t>(a.size()),
                         reinterpret_cast<const UChar*>(b.data()), static_cast<int32_t>(b.size()),
                         U_FOLD_CASE_DEFAULT, &status);
    return U_SUCCESS(status) && order == 0;
}

int TPersonalList::Find(std::u16string_view text) const {
    for (size_t i = 0; i < entries_.size(); ++i)
        if (SameEntry(entries_[i], text)) return static_cast<int>(i);
    return -1;
}

bool TPersonalList::RemoveAt(size_t i) {
    if (i >= entries_.size()) return false;
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
    return true;
}

bool TFavoritesList::Add(std::u16string_view line) {
    if (line.empty() || Find(line) >= 0) return false;
    entries_.emplace(entries_.begin(), line);
    return true;
}

bool TRecentList::EnterRecent(std::u16string_view line) {
    if (line.empty()) return false;
    const int found = Find(line);
    if (found >= 0) RemoveAt(static_cast<size_t>(found));
    entries_.emplace(entries_.begin(), line);
    if (entries_.size() > kMaxEntries) entries_.resize(kMaxEntries);
    return true;
}

} // namespace lumaro
