#include "shell/settings_file.h"

#include "data/scrambled_list_file.h"
#include "shell/startup.h"

#include <array>
#include <vector>

namespace lumaro {

namespace {

// Lines 1 to 11: the knobs, then the options.
std::array<int*, 11> KnobsAndOptions(TSettings& s) {
    return {&s.Volume,         &s.Pan,
            &s.Reverb,         &s.Bass,
            &s.Middle,         &s.Treble,
            &s.MinimizeToTray, &s.StartWithWindows,
            &s.AutoPlay,       &s.RememberPosition,
            &s.ReservedFlag};
}

std::vector<std::string_view> FirstLines(std::string_view text, size_t most) {
    std::vector<std::string_view> lines;
    while (!text.empty() && lines.size() < most) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

} // namespace

std::string SettingsFileText(const TSettings& settings) {
    TSettings s = settings;
    std::string text;
    auto line = [&text](const std::string& value) { text += value + "\r\n"; };
    for (int* value : KnobsAndOptions(s))
        line(std::to_string(*value));
    line(std::to_string(s.WindowLeft.value_or(0)));
    line(std::to_string(s.WindowTop.value_or(0)));
    line(s.RecordingsFolder);
    line(std::to_string(s.TimeoutSeconds));
    return text;
}

TSettings SettingsFromText(std::string_view text, const TSettings& defaults) {
    TSettings s = defaults;
    const std::vector<std::string_view> lines = FirstLines(text, kSettingsLineCount);
    auto at = [&lines](size_t i) { return i < lines.size() ? std::optional(lines[i]) : std::nullopt; };
    auto integer = [&at](size_t i) { return at(i) ? ParseDecimal(*at(i)) : std::nullopt; };
    const std::array<int*, 11> values = KnobsAndOptions(s);
    for (size_t i = 0; i < values.size(); ++i)
        if (const auto value = integer(i)) *values[i] = *value;
    if (const auto left = integer(11)) s.WindowLeft = left;
    if (const auto top = integer(12)) s.WindowTop = top;
    if (const auto folder = at(13); folder && !folder->empty()) s.RecordingsFolder = std::string(*folder);
    if (const auto timeout = integer(14)) s.TimeoutSeconds = *timeout;
    return s;
}

std::optional<TSettings> LoadSettingsFile(const std::string& fileName, const TSettings& defaults) {
    try {
        return SettingsFromText(ReadWholeFile(fileName), defaults);
    } catch (const ListFileError&) {
        return std::nullopt;
    }
}

bool SaveSettingsFile(const std::string& fileName, const TSettings& settings) {
    try {
        WriteFileAtomically(fileName, SettingsFileText(settings));
        return true;
    } catch (const ListFileError&) {
        return false;
    }
}

} // namespace lumaro
