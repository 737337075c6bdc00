#include "tests/support/capture.h"

#include <cstdio>
#include <sys/wait.h>

namespace lumaro::test_support {

namespace {

// The exit status pclose reports, -1 unless the command exited by itself.
int ExitStatus(int closed) {
    return closed != -1 && WIFEXITED(closed) ? WEXITSTATUS(closed) : -1;
}

} // namespace

std::string Capture(const std::string& command) {
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return {};
    std::string out;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
        out.append(buf, n);
    return ExitStatus(::pclose(pipe)) == 0 ? out : std::string();
}

int CaptureLines(const std::string& command, const std::function<void(const std::string&)>& onLine) {
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return -1;
    std::string line;
    for (int c; (c = std::fgetc(pipe)) != EOF;) {
        if (c != '\n') {
            line += static_cast<char>(c);
            continue;
        }
        onLine(line);
        line.clear();
    }
    if (!line.empty()) onLine(line);
    return ExitStatus(::pclose(pipe));
}

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

double Mp3Seconds(const std::filesystem::path& file) {
    const std::string probe =
        Capture("ffprobe -v error -show_entries format=format_name,duration -of csv=p=0 " +
                Quote(file.string()) + " 2>/dev/null");
    if (!probe.starts_with("mp3,")) return 0;
    try {
        return std::stod(probe.substr(4));
    } catch (...) {
        return 0;
    }
}

} // namespace lumaro::test_support
