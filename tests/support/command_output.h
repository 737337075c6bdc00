#pragma once
// Running the real tools the end-to-end tests check their results with
// (ffprobe, curl, a tag reader) and reading what they print.

#include <cstdio>
#include <filesystem>
#include <string>

namespace lumaro::test_support {

// Standard output of a shell command; empty when it cannot be started.
inline std::string Capture(const std::string& command) {
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {};
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
        out.append(buf, n);
    pclose(pipe);
    return out;
}

// s as one word for the shell, whatever it holds.
inline std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Seconds of MP3 audio ffprobe finds in a file, 0 when it is no MP3.
inline double Mp3Seconds(const std::filesystem::path& file) {
    const std::string probe = Capture("ffprobe -v error -show_entries format=format_name,duration -of csv=p=0 " +
                                      Quote(file.string()) + " 2>/dev/null");
    if (!probe.starts_with("mp3,")) return 0;
    try {
        return std::stod(probe.substr(4));
    } catch (...) {
        return 0;
    }
}

} // namespace lumaro::test_support
