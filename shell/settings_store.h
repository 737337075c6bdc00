#pragma once
// settings.dat at run time: read once during start-up and applied to the
// knobs, the Settings dialog's options and time-out, the recordings folder
// and the tray; written once when the main window closes, from the live
// values. Window thread.

#include "shell/settings_file.h"

#include <QPoint>

#include <optional>

namespace lumaro {

class TAppSession;
struct TSettingsOptions;

class TSettingsStore {
public:
    explicit TSettingsStore(TAppSession& session) : session_(session) {}

    // Reads settings.dat of the config folder and applies it: each knob
    // turned as the user would (its range kept), the options stored, the
    // recordings folder taken when it exists, the time-out kept within
    // 3 .. 30, and the minimise-to-tray mode set from its option. Nothing
    // when there is no file or it cannot be read. A bad line keeps only its
    // own value's default.
    void LoadSettings(TSettingsOptions& options);
    // Writes the live values, atomically; a file that cannot be written
    // keeps its old content, and nothing is reported.
    void SaveSettings();

    // The window position as read at start-up, for the activation rule;
    // nothing when no file was read.
    std::optional<QPoint> RememberedPosition() const;
    // The values as last read or written.
    const std::optional<TSettings>& Lines() const { return lines_; }

private:
    TSettings LiveValues() const;

    TAppSession& session_;
    std::optional<TSettings> lines_;
};

} // namespace lumaro
