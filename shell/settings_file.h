#pragma once
// settings.dat: the fifteen values that survive a restart, one decimal
// integer (or the recordings folder) a line, each line ending in CR LF.
// Read once at start-up, written once when the main window closes.

#include <optional>
#include <string>
#include <string_view>

namespace lumaro {

struct TSettings {
    // knob positions
    int Volume = 50;
    int Pan = 0;
    int Reverb = -150;
    int Bass = 0;
    int Middle = 0;
    int Treble = 0;
    // option states of the Settings dialog, stored as read (0 off, 1 on)
    int MinimizeToTray = 0;
    int StartWithWindows = 0;
    int AutoPlay = 0;
    int RememberPosition = 0;
    int ReservedFlag = 0;
    // the main window's left and top edges; none before the first save
    std::optional<int> WindowLeft;
    std::optional<int> WindowTop;
    // absolute, UTF-8, no trailing separator; empty: the default folder
    std::string RecordingsFolder;
    int TimeoutSeconds = 5;
    bool operator==(const TSettings&) const = default;
};

inline constexpr int kSettingsLineCount = 15;

// The file's bytes for these values: fifteen lines in the order above. A
// window position not known is written as 0.
std::string SettingsFileText(const TSettings& settings);

// The values of a file's bytes. Each line that is missing or not what its
// value needs (a whole decimal integer in 32 bits, an optional sign, nothing
// else on the line) keeps that value of defaults, and reading goes on with
// the next line; lines after the fifteenth are ignored. Ranges are not
// applied here: the knobs and the time-out box keep their own.
TSettings SettingsFromText(std::string_view text, const TSettings& defaults);

// Reads fileName; nothing when it is absent or cannot be read.
std::optional<TSettings> LoadSettingsFile(const std::string& fileName, const TSettings& defaults);
// Replaces fileName atomically; false when it could not be written (the old
// file then stays as it was).
bool SaveSettingsFile(const std::string& fileName, const TSettings& settings);

} // namespace lumaro
