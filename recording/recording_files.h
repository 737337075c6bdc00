#pragma once
// Names for recordings: station folders, numbered files and the encoder's
// command line. Window thread.

#include <string>
#include <vector>

namespace lumaro {

// Trims characters up to U+0020 from both ends and replaces " * / : < > ? \ |
// with spaces, so the text is safe as a file name and inside a quoted argument.
std::u16string SafeFileName(std::u16string_view text);

// The station folder's name: SafeFileName of the station name, or empty when
// nothing usable is left ("", "." or ".."), in which case the recording goes
// into the recordings folder itself.
std::u16string StationFolderName(std::u16string_view stationName);

// Names (without path) of the "*.mp3" entries of a directory that are not
// directories, in the order the file system gives them.
std::vector<std::string> ListMp3Files(const std::string& directory);

// The number a ".mp3" name stands for: the decimal digits before its first
// ".", in order. No digits, or more than a 32-bit signed integer holds, is 0.
long long RecordingNumberOf(const std::string& fileName);

// "recording_" + (largest number among names + 1) + ".mp3"
std::string NextRecordingFileName(const std::vector<std::string>& mp3Names);

// lame - FILE --tt "TITLE" --tc "Radio  STATUS", title and status made safe.
std::string BuildEncoderCommandLine(const std::string& fileName, std::u16string_view title,
                                    std::u16string_view status);

} // namespace lumaro
