#pragma once
// "Open in new window": another copy of the program, started on a station of
// one of the lists and placed beside the window that launched it.

namespace lumaro {

// Starts the program's own executable with the station argument
// kind@index@left@top (kind 's' catalogue, 'f' Favorites, 'r' Recent; left
// and top: the launching window's position). The launch is not checked.
void LaunchCopy(char kind, int index, int left, int top);

} // namespace lumaro
