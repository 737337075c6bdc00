// lumaro-catalogue: builds, dumps and generates station list files.
//   build [--bytes] IN OUT      UTF-8 text lines to a scrambled list file
//   dump [--bytes] FILE         the lines of a list file as UTF-8, one per line
//   generate N OUT [--seed S]   a synthetic catalogue for tests and benchmarks

#include "data/scrambled_list_file.h"
#include "tools/catalogue_generator.h"

#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

using namespace lumaro;

namespace {

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

const char* const kUsage = "usage: lumaro-catalogue build [--bytes] IN OUT | dump [--bytes] FILE | "
                           "generate N OUT [--seed S]";

bool IsValidUtf8(const std::string& s) {
    return AnsiFromWide(WideFromAnsi(s)) == s;
}

void CheckLine(const std::string& line, size_t number, bool bytes) {
    const std::string where = "line " + std::to_string(number);
    if (line.find('\0') != std::string::npos || line.find('\r') != std::string::npos)
        throw std::runtime_error(where + ": holds a NUL or CR character");
    if (bytes) return;
    if (!IsValidUtf8(line)) throw std::runtime_error(where + ": not valid UTF-8");
    for (char16_t c : WideFromAnsi(line))
        if (c == 0x0B || c == 0x0C || c == 0x2028 || c == 0x2029)
            throw std::runtime_error(where + ": holds a line-break character");
}

void Build(const std::string& in, const std::string& out, bool bytes) {
    const ByteList lines = ReadTextFileLines(in);
    for (size_t i = 0; i < lines.size(); ++i)
        CheckLine(lines[i], i + 1, bytes);
    if (bytes) {
        TScrambledListFile::SaveByteList(out, lines, kListKey);
        return;
    }
    WideList wide;
    wide.reserve(lines.size());
    for (const auto& line : lines)
        wide.push_back(WideFromAnsi(line));
    TScrambledListFile::SaveWideList(out, wide, kListKey);
}

void Dump(const std::string& file, bool bytes) {
    std::string out;
    if (bytes) {
        ByteList lines;
        TScrambledListFile::LoadByteList(file, lines, kListKey);
        for (const auto& line : lines)
            (out += line) += '\n';
    } else {
        WideList lines;
        TScrambledListFile::LoadWideList(file, lines, kListKey);
        for (const auto& line : lines)
            (out += AnsiFromWide(line)) += '\n';
    }
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0)
        throw std::runtime_error("cannot write to standard output");
}

unsigned long long ParseCount(const std::string& text, const char* what) {
    size_t used = 0;
    unsigned long long value = 0;
    try {
        if (text.empty() || text[0] == '-') throw std::invalid_argument(text);
        value = std::stoull(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != text.size() || used == 0)
        throw std::runtime_error(std::string("not a valid ") + what + ": " + text);
    return value;
}

int Run(const std::vector<std::string>& args) {
    if (args.empty()) throw UsageError(kUsage);
    const std::string& verb = args[0];
    std::vector<std::string> rest(args.begin() + 1, args.end());
    bool bytes = false;
    if ((verb == "build" || verb == "dump") && !rest.empty() && rest[0] == "--bytes") {
        bytes = true;
        rest.erase(rest.begin());
    }
    if (verb == "build" && rest.size() == 2) {
        Build(rest[0], rest[1], bytes);
    } else if (verb == "dump" && rest.size() == 1) {
        Dump(rest[0], bytes);
    } else if (verb == "generate" && (rest.size() == 2 || (rest.size() == 4 && rest[2] == "--seed"))) {
        const auto count = ParseCount(rest[0], "station count");
        if (count > 10'000'000) throw std::runtime_error("station count too large: " + rest[0]);
        const auto seed = rest.size() == 4 ? ParseCount(rest[3], "seed") : 1;
        const ByteList lines = GenerateCatalogue(static_cast<size_t>(count), seed);
        std::string text;
        for (const auto& line : lines)
            (text += line) += '\n';
        WriteFileAtomically(rest[1], text);
    } else {
        throw UsageError(kUsage);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lumaro-catalogue: %s\n", e.what());
        return 1;
    }
}
