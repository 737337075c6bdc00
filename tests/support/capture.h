#pragma once
// Running the real tools the tests make fixtures with and check results with
// (ffmpeg, ffprobe, curl, a tag reader, our own console player), and reading
// what they print.

#include <filesystem>
#include <functional>
#include <string>

namespace lumaro::test_support {

// Standard output of a command run by /bin/sh, whole. Empty when it cannot be
// started or ends with a status other than 0, so a missing or failing tool
// reads as no output and the check on it fails.
std::string Capture(const std::string& command);

// Runs a command by /bin/sh and hands each line of its standard output
// (without the line break) to onLine as it arrives. Returns the command's
// exit status, -1 when it could not be started or did not exit by itself.
int CaptureLines(const std::string& command, const std::function<void(const std::string&)>& onLine);

// s as one word for the shell, whatever it holds.
std::string Quote(const std::string& s);

// Seconds of MP3 audio ffprobe finds in a file, 0 when it is no MP3.
double Mp3Seconds(const std::filesystem::path& file);

} // namespace lumaro::test_support
