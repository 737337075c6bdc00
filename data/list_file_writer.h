#pragma once
// Saves list files on a thread of its own, so that a save asked for on the
// window's thread never waits for the disk. Each file is still replaced
// atomically and flushed to disk; saves run in the order they were asked for,
// and a newer save of a file replaces one of the same file still waiting.

#include <string>

namespace lumaro {

// Queues bytes to replace fileName (made absolute now, so a later change of
// the current directory does not move it). A failed write changes nothing on
// disk and is not reported: the list stays changed in memory and is written
// again at its next save.
void SaveListFileLater(const std::string& fileName, std::string bytes);

// Returns once every save queued before the call has been done or has failed.
// Never waits for anything but the disk.
void FlushListFileSaves();

} // namespace lumaro
