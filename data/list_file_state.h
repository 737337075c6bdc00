#pragma once
// What reading a list file found at start-up, and so whether this run may
// write it. A file that is there but cannot be read may still hold the
// user's data (a permission or disk problem that passes), so it is never
// replaced or deleted blind: the list starts empty, its changes stay in
// memory, and the file stays as it was until a later run can read it.

#include "data/text_codec.h"

#include <string>

namespace lumaro {

enum class TListFileState {
    Absent,     // no file of that name: written as the list changes
    Read,       // read: written as the list changes
    Unreadable, // there but not readable: not written, replaced or deleted this run
};

inline bool MayWrite(TListFileState state) {
    return state != TListFileState::Unreadable;
}

// Loads fileName (UTF-16 variant) into list when anything of that name is
// there; without one the list is emptied and the state is Absent. Anything of
// that name that cannot be read as a list file (no permission, an I/O error, a
// directory, a dangling or looping link) empties the list and gives
// Unreadable. Never raises.
TListFileState LoadWideListIfPresent(const std::string& fileName, WideList& list, unsigned char key);

} // namespace lumaro
