// lumaro-catalogue: builds, dumps and generates station list files, and makes
// catalogues from the Radio Browser directory.
//   build [--bytes] IN OUT      UTF-8 text lines to a scrambled list file
//   dump [--bytes] FILE         the lines of a list file as UTF-8, one per line
//   generate N OUT [--seed S]   a synthetic catalogue for tests and benchmarks
//   import [--count N] IN OUT   Radio Browser records (JSON, JSON lines, gzip) to station lines
//   update [--api URL] [--mirror URL] [--count N] [--timeout S] OUT
//                               the live directory to a scrambled catalogue file

#include "data/scrambled_list_file.h"
#include "tools/catalogue_generator.h"
#include "tools/catalogue_import.h"
#include "tools/directory_fetch.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

using namespace lumaro;

namespace {

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

const char* const kUsage = "usage: lumaro-catalogue build [--bytes] IN OUT | dump [--bytes] FILE | "
                           "generate N OUT [--seed S] | import [--count N] IN OUT.tsv | "
                           "update [--api URL]... [--mirror URL]... [--count N] [--timeout S] OUT.dat";

// An update that brings fewer stations than this went wrong somewhere.
constexpr size_t kFewestUpdateStations = 1000;

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

std::string StationText(const std::vector<catalogue::Station>& stations) {
    std::string text;
    for (const auto& station : stations)
        (text += catalogue::StationLine(station)) += '\n';
    return text;
}

void Import(const std::string& in, const std::string& out, size_t count) {
    size_t skipped = 0;
    const auto records =
        catalogue::ParseStationRecords(catalogue::InflateIfGzip(ReadWholeFile(in)), &skipped);
    if (skipped > 0)
        std::fprintf(stderr, "lumaro-catalogue: %s: skipped %zu lines that are not JSON objects\n",
                     in.c_str(), skipped);
    const auto stations = catalogue::ImportStations(records, count);
    if (stations.empty()) throw std::runtime_error(in + ": no station passes the import");
    WriteFileAtomically(out, StationText(stations));
    std::fprintf(stderr, "lumaro-catalogue: %zu stations from %zu records\n", stations.size(),
                 records.size());
}

// One progress line on standard error: rewritten in place on a terminal,
// one line per page otherwise.
void ShowProgress(const std::string& server, size_t stations) {
    static const bool terminal = ::isatty(STDERR_FILENO) == 1;
    std::fprintf(stderr, "%slumaro-catalogue: %s: %zu stations%s", terminal ? "\r" : "", server.c_str(),
                 stations, terminal ? "\033[K" : "\n");
}

struct UpdateArgs {
    std::vector<std::string> servers, mirrors;
    size_t count = 0;
    long timeout = 30;
    std::string out;
};

void Update(const UpdateArgs& args) {
    catalogue::FetchOptions options;
    options.stallSeconds = args.timeout;
    options.progress = ShowProgress;
    std::vector<catalogue::SourceRecord> records;
    try {
        const auto servers =
            args.servers.empty()
                ? catalogue::ServersFromMirrors(
                      args.mirrors.empty() ? catalogue::KnownMirrors() : args.mirrors, options)
                : args.servers;
        records = catalogue::FetchFromServers(servers, options);
    } catch (...) {
        if (::isatty(STDERR_FILENO) == 1) std::fputc('\n', stderr);
        throw;
    }
    if (::isatty(STDERR_FILENO) == 1) std::fputc('\n', stderr);
    auto all = catalogue::RankStations(records);
    if (all.size() < kFewestUpdateStations)
        throw std::runtime_error(
            "only " + std::to_string(all.size()) + " usable stations received (at least " +
            std::to_string(kFewestUpdateStations) + " expected); " + args.out + " is left as it was");
    const auto stations =
        args.count == 0 ? std::move(all) : catalogue::ChooseStations(std::move(all), args.count);
    WideList lines;
    lines.reserve(stations.size());
    for (const auto& station : stations)
        lines.push_back(WideFromAnsi(catalogue::StationLine(station)));
    TScrambledListFile::SaveWideList(args.out, lines, kListKey);
    std::fprintf(stderr, "lumaro-catalogue: %zu stations written to %s\n", stations.size(), args.out.c_str());
}

// "--name VALUE" options at the front of rest, removed as they are read.
template <typename Handle> void TakeOptions(std::vector<std::string>& rest, Handle handle) {
    while (!rest.empty() && rest[0].starts_with("--")) {
        if (rest.size() < 2) throw UsageError(kUsage);
        if (!handle(rest[0], rest[1])) throw UsageError(kUsage);
        rest.erase(rest.begin(), rest.begin() + 2);
    }
}

size_t ParseStationCount(const std::string& text) {
    const auto count = ParseCount(text, "station count");
    if (count == 0 || count > 10'000'000) throw std::runtime_error("not a valid station count: " + text);
    return static_cast<size_t>(count);
}

// Output goes only into a folder that exists: a mistyped path is an error,
// not a new folder (the player's own saves make theirs). Checked before any
// work, so an update never fetches the directory for nothing.
void RequireOutputFolder(const std::string& out) {
    const std::filesystem::path folder = std::filesystem::path(out).parent_path();
    std::error_code error;
    if (!folder.empty() && !std::filesystem::is_directory(folder, error))
        throw std::runtime_error(out + ": no such folder");
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
        RequireOutputFolder(rest[1]);
        Build(rest[0], rest[1], bytes);
    } else if (verb == "dump" && rest.size() == 1) {
        Dump(rest[0], bytes);
    } else if (verb == "generate" && (rest.size() == 2 || (rest.size() == 4 && rest[2] == "--seed"))) {
        const auto count = ParseCount(rest[0], "station count");
        if (count > 10'000'000) throw std::runtime_error("station count too large: " + rest[0]);
        const auto seed = rest.size() == 4 ? ParseCount(rest[3], "seed") : 1;
        RequireOutputFolder(rest[1]);
        const ByteList lines = GenerateCatalogue(static_cast<size_t>(count), seed);
        std::string text;
        for (const auto& line : lines)
            (text += line) += '\n';
        WriteFileAtomically(rest[1], text);
    } else if (verb == "import") {
        size_t count = 0;
        TakeOptions(rest, [&](const std::string& name, const std::string& value) {
            if (name != "--count") return false;
            count = ParseStationCount(value);
            return true;
        });
        if (rest.size() != 2) throw UsageError(kUsage);
        RequireOutputFolder(rest[1]);
        Import(rest[0], rest[1], count);
    } else if (verb == "update") {
        UpdateArgs update;
        TakeOptions(rest, [&](const std::string& name, const std::string& value) {
            if (name == "--api")
                update.servers.push_back(value);
            else if (name == "--mirror")
                update.mirrors.push_back(value);
            else if (name == "--count")
                update.count = ParseStationCount(value);
            else if (name == "--timeout")
                update.timeout = static_cast<long>(std::min(ParseCount(value, "time-out"), 3600ULL));
            else
                return false;
            return true;
        });
        if (rest.size() != 1 || update.timeout == 0) throw UsageError(kUsage);
        update.out = rest[0];
        RequireOutputFolder(update.out);
        Update(update);
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
