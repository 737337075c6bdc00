#include "data/list_file_state.h"

#include "data/scrambled_list_file.h"

#include <cerrno>
#include <sys/stat.h>

namespace lumaro {

TListFileState LoadWideListIfPresent(const std::string& fileName, WideList& list, unsigned char key) {
    list.clear();
    struct stat st {};
    // the name itself, not what a link points at: a broken link is still there
    if (::lstat(fileName.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR))
        return TListFileState::Absent;
    try {
        TScrambledListFile::LoadWideList(fileName, list, key);
        return TListFileState::Read;
    } catch (const ListFileError&) {
        list.clear();
        return TListFileState::Unreadable;
    }
}

} // namespace lumaro
