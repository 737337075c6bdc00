// Start-up data work: read, unscramble, decode and split stations.dat, build
// the 8-bit copy and load (or, on a first start, build and write) the search
// copy. And the import of the Radio Browser snapshot into the catalogue.
#include "data/scrambled_list_file.h"
#include "data/station_catalogue.h"
#include "tools/catalogue_generator.h"
#include "tools/catalogue_import.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <unistd.h>

using namespace lumaro;

namespace {

// A program directory holding stations.dat made from the given UTF-8 lines.
class BenchDir {
public:
    explicit BenchDir(const ByteList& lines) {
        char pattern[] = "/tmp/lumaro-bench-XXXXXX";
        path_ = ::mkdtemp(pattern);
        WideList wide;
        wide.reserve(lines.size());
        for (const auto& line : lines)
            wide.push_back(WideFromAnsi(line));
        TScrambledListFile::SaveWideList((path_ / "stations.dat").string(), wide, kListKey);
    }
    ~BenchDir() { std::filesystem::remove_all(path_); }
    std::string File(const char* name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

void LoadCatalogue(const BenchDir& dir, TStationCatalogue& catalogue) {
    catalogue.LoadCatalogue(dir.File("stations.dat"));
    catalogue.BuildAnsiCopy();
    catalogue.PrepareSearchCopy(dir.File("utf8stations.dat"));
}

// One start's data work, timed; the program keeps its catalogue to the end,
// so freeing it is no start-up work and is left out.
void TimedStart(benchmark::State& state, const BenchDir& dir) {
    auto catalogue = std::make_unique<TStationCatalogue>();
    LoadCatalogue(dir, *catalogue);
    benchmark::DoNotOptimize(catalogue->Count());
    state.PauseTiming();
    catalogue.reset();
    state.ResumeTiming();
}

void LaterStart(benchmark::State& state, const ByteList& lines) {
    BenchDir dir(lines);
    {
        TStationCatalogue warm;
        LoadCatalogue(dir, warm);
    } // writes utf8stations.dat once
    for (auto _ : state)
        TimedStart(state, dir);
    state.counters["stations"] = static_cast<double>(lines.size());
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(dir.File("stations.dat")));
}

void FirstStart(benchmark::State& state, const ByteList& lines) {
    BenchDir dir(lines);
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(dir.File("utf8stations.dat"));
        state.ResumeTiming();
        TimedStart(state, dir);
    }
    state.counters["stations"] = static_cast<double>(lines.size());
}

// lumaro-catalogue import --count 15000 of the snapshot, but for writing the file.
void ImportSnapshot(benchmark::State& state) {
    size_t records = 0, stations = 0;
    for (auto _ : state) {
        const auto parsed =
            catalogue::ParseStationRecords(catalogue::InflateIfGzip(ReadWholeFile(LUMARO_SNAPSHOT)));
        std::string text;
        for (const auto& station : catalogue::ImportStations(parsed, 15000)) {
            (text += catalogue::StationLine(station)) += '\n';
            ++stations;
        }
        records = parsed.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["records"] = static_cast<double>(records);
    state.counters["stations"] = static_cast<double>(stations / state.iterations());
}

ByteList ReadStations(const std::string& path) {
    return FileExists(path) ? ReadTextFileLines(path) : ByteList{};
}

} // namespace

int main(int argc, char** argv) {
    static const ByteList small = GenerateCatalogue(15000, 1);
    static const ByteList large = GenerateCatalogue(100000, 1);
    static const ByteList real = ReadStations(LUMARO_REAL_STATIONS);
    static const ByteList bundled = ReadStations(LUMARO_BUNDLED_STATIONS);

    benchmark::RegisterBenchmark("LaterStart/synthetic15000", LaterStart, small)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("LaterStart/synthetic100000", LaterStart, large)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("FirstStart/synthetic15000", FirstStart, small)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("FirstStart/synthetic100000", FirstStart, large)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("LaterStart/bundled", LaterStart, bundled)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("FirstStart/bundled", FirstStart, bundled)->Unit(benchmark::kMillisecond);
    if (real.empty()) {
        std::fprintf(stderr, "note: %s not found; skipping the real-catalogue benchmarks\n",
                     LUMARO_REAL_STATIONS);
    } else {
        benchmark::RegisterBenchmark("LaterStart/real", LaterStart, real)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("FirstStart/real", FirstStart, real)->Unit(benchmark::kMillisecond);
    }
    if (FileExists(LUMARO_SNAPSHOT))
        benchmark::RegisterBenchmark("ImportSnapshot", ImportSnapshot)->Unit(benchmark::kMillisecond);
    else
        std::fprintf(stderr, "note: %s not found; skipping the import benchmark\n", LUMARO_SNAPSHOT);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
