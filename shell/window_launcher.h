#pragma once
// "Open in new window": another copy of the program, started on a station of
// one of the lists and placed beside the window that launched it.

#include <QString>

namespace lumaro {

// Starts executable (the program's own) with the station argument
// kind@index@left@top (kind 's' catalogue, 'f' Favorites, 'r' Recent; left
// and top: the launching window's position). The launch is not checked.
void LaunchCopy(const QString& executable, char kind, int index, int left, int top);

} // namespace lumaro
