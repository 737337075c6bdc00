#pragma once
// "Start with Windows" on a free desktop: an XDG autostart entry,
// $XDG_CONFIG_HOME/autostart/<app id>.desktop (~/.config/autostart/ when the
// variable is unset, empty or not absolute). A desktop that finds the file
// starts the program at log-in, so the option's off state removes the file
// rather than marking it disabled.

#include <QString>

#include <string>

namespace lumaro {

QString AutostartFolder();
QString AutostartEntryPath();

// The entry's command: the executable's absolute path double-quoted, a space
// and "a" (start hidden in the notification area), quoted by the Desktop
// Entry rules for Exec.
QString AutostartCommand(const QString& executable);

// The whole entry, as written: a Desktop Entry of type Application named name
// whose Exec is command, escaped as a string value.
std::string AutostartEntryText(const QString& name, const QString& command);

// Writes the entry (atomically, its folder made when missing). Failures are
// not reported.
void SetAutostart(const QString& name, const QString& command);
// Removes the entry when there is one. Failures are not reported.
void ClearAutostart();

} // namespace lumaro
