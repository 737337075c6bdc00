// Browsing speed: the filter on every keystroke, the category lists at
// start-up, and a keystroke in the search box through to the repainted window.
#include "browse/category_lists.h"
#include "browse/result_filter.h"
#include "data/scrambled_list_file.h"
#include "shell/app_session.h"
#include "shell/unit1.h"
#include "tools/catalogue_generator.h"
#include "ui/skin_edit.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

using namespace lumaro;

namespace {

ByteList ReadStations(const std::string& path) {
    if (!FileExists(path)) return {};
    const std::string text = ReadWholeFile(path);
    ByteList lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

struct Prepared {
    TStationCatalogue catalogue;
    TResultFilter filter;
    std::string style; // a common style, for the restricted runs
};

const Prepared& Prepare(const ByteList& lines) {
    static std::map<const ByteList*, std::unique_ptr<Prepared>> cache;
    auto& slot = cache[&lines];
    if (!slot) {
        slot = std::make_unique<Prepared>();
        WideList wide;
        wide.reserve(lines.size());
        for (const auto& l : lines)
            wide.push_back(WideFromAnsi(l));
        slot->catalogue.SetLines(std::move(wide));
        slot->catalogue.BuildAnsiCopy();
        slot->catalogue.BuildSearchCopy();
        slot->filter = TResultFilter(slot->catalogue);
        // the style held by most lines
        std::map<std::string_view, int> counts;
        for (const auto& l : slot->catalogue.AnsiCopy())
            ++counts[CategoryFieldsOf(l).style];
        int best = 0;
        for (const auto& [style, n] : counts) {
            if (n > best && !style.empty()) {
                best = n;
                slot->style = std::string(style);
            }
        }
    }
    return *slot;
}

void Filter(benchmark::State& state, const ByteList* lines, std::u16string search, bool restricted) {
    const Prepared& p = Prepare(*lines);
    const std::string prepared = PrepareSearchText(search);
    const bool nonAscii = HasNonAscii(search);
    const std::string style = restricted ? p.style : std::string(kAllCategories);
    size_t results = 0;
    for (auto _ : state) {
        TResultList r = p.filter.BuildResultList(style, "All", "All", prepared, nonAscii);
        results = r.size();
        benchmark::DoNotOptimize(r.data());
    }
    size_t bytes = 0;
    for (const auto& l : nonAscii ? p.catalogue.SearchCopy() : p.catalogue.AnsiCopy())
        bytes += l.size() + 1;
    state.counters["stations"] = static_cast<double>(p.catalogue.Count());
    state.counters["results"] = static_cast<double>(results);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void CategoryLists(benchmark::State& state, const ByteList* lines) {
    const Prepared& p = Prepare(*lines);
    const QCollator collator = UserCollator();
    for (auto _ : state) {
        TCategoryLists lists = BuildCategoryLists(p.catalogue, collator);
        benchmark::DoNotOptimize(lists.Style.data());
    }
    state.counters["stations"] = static_cast<double>(p.catalogue.Count());
}

void FilterIndex(benchmark::State& state, const ByteList* lines) {
    const Prepared& p = Prepare(*lines);
    for (auto _ : state) {
        TResultFilter filter(p.catalogue);
        benchmark::DoNotOptimize(filter.Count());
    }
}

// A character typed into the search box and taken out again, each time
// through the filter, the results view and a full repaint of the window.
void KeystrokeToRepaint(benchmark::State& state, const ByteList* lines) {
    QTemporaryDir dir;
    {
        WideList wide;
        for (const auto& l : *lines)
            wide.push_back(WideFromAnsi(l));
        TScrambledListFile::SaveWideList(QDir(dir.path()).filePath("stations.dat").toStdString(), wide,
                                         kListKey);
    }
    const QString old = QDir::currentPath();
    {
        TAppSession session(dir.path(), QString());
        TForm1& form = session.MainWindow();
        form.show();
        QCoreApplication::processEvents();
        QTest::keyClicks(form.TntEdit2, QStringLiteral("radi"));
        form.repaint();
        bool add = true;
        for (auto _ : state) {
            if (add)
                QTest::keyClick(form.TntEdit2, Qt::Key_O);
            else
                QTest::keyClick(form.TntEdit2, Qt::Key_Backspace);
            add = !add;
            form.repaint();
        }
        state.counters["stations"] = static_cast<double>(session.Catalogue().Count());
    }
    QDir::setCurrent(old);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    static const ByteList small = GenerateCatalogue(15000, 1);
    static const ByteList large = GenerateCatalogue(100000, 1);
    static const ByteList real = ReadStations(LUMARO_REAL_STATIONS);
    static const ByteList bundled = ReadStations(LUMARO_BUNDLED_STATIONS);

    struct Search {
        const char* name;
        std::u16string text;
    };
    const Search searches[] = {
        {"one_word", u"radio"},
        {"two_words", u"radio jazz"},
        {"three_words", u"fm smooth jazz"},
        {"non_ascii_one_word", u"m\u00fcnchen"},
        {"non_ascii_three_words", u"caf\u00e9 radio fm"},
        {"short_word", u"a"},
    };
    std::vector<std::pair<const char*, const ByteList*>> sets = {
        {"synthetic15000", &small}, {"synthetic100000", &large}, {"bundled", &bundled}};
    if (real.empty()) {
        std::fprintf(stderr, "note: %s not found; skipping the real-catalogue benchmarks\n",
                     LUMARO_REAL_STATIONS);
    } else {
        sets.push_back({"real", &real});
    }
    for (const auto& [setName, lines] : sets) {
        for (const auto& s : searches) {
            for (bool restricted : {false, true}) {
                const std::string name = std::string("BuildResultList/") + setName + "/" + s.name +
                                         (restricted ? "/style" : "/all");
                benchmark::RegisterBenchmark(name.c_str(), Filter, lines, s.text, restricted)
                    ->Unit(benchmark::kMicrosecond);
            }
        }
        benchmark::RegisterBenchmark((std::string("BuildCategoryLists/") + setName).c_str(), CategoryLists,
                                     lines)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("FilterIndex/") + setName).c_str(), FilterIndex, lines)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("KeystrokeToRepaint/synthetic15000", KeystrokeToRepaint, &small)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("KeystrokeToRepaint/bundled", KeystrokeToRepaint, &bundled)
        ->Unit(benchmark::kMillisecond);
    if (!real.empty())
        benchmark::RegisterBenchmark("KeystrokeToRepaint/real", KeystrokeToRepaint, &real)
            ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
