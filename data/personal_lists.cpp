#include "data/personal_lists.h"

#include "data/scrambled_list_file.h"

namespace lumaro {

void TPersonalList::LoadIfPresent() {
    if (FileExists(fileName_)) TScrambledListFile::LoadWideList(fileName_, entries_, kListKey);
}

} // namespace lumaro
