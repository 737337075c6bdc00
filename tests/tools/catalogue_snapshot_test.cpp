// Against the Radio Browser snapshot beside the repository (skipped where it
// is absent, as on a user's machine or in CI): the tables cover what the
// directory writes most often, and the bundled catalogue is what the import
// makes of the snapshot.
#include "data/scrambled_list_file.h"
#include "tools/catalogue_import.h"
#include "tools/catalogue_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>

using namespace lumaro;
using namespace lumaro::catalogue;

namespace {

// the count catalogue/regenerate.sh asks for
constexpr size_t kBundledCount = 15000;

const std::vector<SourceRecord>* Snapshot() {
    static const auto records = [] {
        std::vector<SourceRecord> r;
        if (FileExists(SNAPSHOT)) r = ParseStationRecords(InflateIfGzip(ReadWholeFile(SNAPSHOT)));
        return r;
    }();
    return records.empty() ? nullptr : &records;
}

#define REQUIRE_SNAPSHOT()                                                                                   \
    if (!Snapshot()) GTEST_SKIP() << SNAPSHOT << " not found"

// The n most frequent keys, most frequent first.
std::vector<std::string> MostFrequent(const std::unordered_map<std::string, size_t>& counts, size_t n) {
    std::vector<std::pair<size_t, std::string>> order;
    for (const auto& [key, count] : counts)
        if (!key.empty()) order.emplace_back(count, key);
    std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    std::vector<std::string> keys;
    for (size_t i = 0; i < n && i < order.size(); ++i)
        keys.push_back(order[i].second);
    return keys;
}

TEST(CatalogueSnapshot, EveryFrequentTagIsAGenreOrKnownToBeNone) {
    REQUIRE_SNAPSHOT();
    std::unordered_map<std::string, size_t> counts;
    for (const auto& r : *Snapshot()) {
        size_t start = 0;
        while (start <= r.tags.size()) {
            const size_t comma = std::min(r.tags.find(',', start), r.tags.size());
            ++counts[NormalTag(r.tags.substr(start, comma - start))];
            start = comma + 1;
        }
    }
    const auto none = TagsWithoutGenre();
    for (const auto& tag : MostFrequent(counts, 300)) {
        const bool decided =
            StyleOfTags(tag) != "-" || std::find(none.begin(), none.end(), tag) != none.end();
        EXPECT_TRUE(decided) << "tag \"" << tag << "\" (" << counts[tag] << " records) maps to no genre";
    }
}

TEST(CatalogueSnapshot, EveryFrequentLanguageSpellingHasItsName) {
    REQUIRE_SNAPSHOT();
    std::unordered_map<std::string, size_t> counts;
    for (const auto& r : *Snapshot())
        ++counts[NormalLanguageSpelling(r.language.substr(0, r.language.find(',')))];
    const auto none = SpellingsWithoutLanguage();
    for (const auto& spelling : MostFrequent(counts, 150)) {
        const bool decided =
            LanguageOf(spelling) != "-" || std::find(none.begin(), none.end(), spelling) != none.end();
        EXPECT_TRUE(decided) << "language \"" << spelling << "\" (" << counts[spelling]
                             << " records) has no name";
    }
}

TEST(CatalogueSnapshot, BundledCatalogueIsTheSnapshotsImport) {
    REQUIRE_SNAPSHOT();
    std::string made;
    for (const auto& station : ImportStations(*Snapshot(), kBundledCount))
        (made += StationLine(station)) += '\n';
    EXPECT_TRUE(made == ReadWholeFile(BUNDLED_TSV))
        << "catalogue/stations.tsv is not what the import makes of the snapshot: run catalogue/regenerate.sh";
}

TEST(CatalogueSnapshot, TheMostVotedLiveStationsAreInTheBundledCatalogue) {
    REQUIRE_SNAPSHOT();
    std::set<std::string> urls, names;
    const std::string bundled = ReadWholeFile(BUNDLED_TSV);
    for (size_t start = 0; start < bundled.size();) {
        const size_t end = bundled.find('\n', start);
        const std::string line = bundled.substr(start, end - start);
        start = end + 1;
        size_t field = 0, f = 0;
        for (;;) {
            const size_t tab = std::min(line.find('\t', f), line.size());
            if (field == 0) names.insert(line.substr(f, tab - f));
            if (field >= 5) urls.insert(line.substr(f, tab - f));
            if (tab == line.size()) break;
            f = tab + 1;
            ++field;
        }
    }
    std::vector<const SourceRecord*> live;
    for (const auto& r : *Snapshot())
        if (r.lastCheckOk) live.push_back(&r);
    std::sort(live.begin(), live.end(), [](const auto* a, const auto* b) { return a->votes > b->votes; });
    // each by one of its streams, or by its name where another record of it holds them
    for (size_t i = 0; i < 500 && i < live.size(); ++i) {
        const SourceRecord& r = *live[i];
        const bool in = urls.contains(CleanStreamUrl(r.urlResolved)) ||
                        urls.contains(CleanStreamUrl(r.url)) || names.contains(CleanName(r.name));
        EXPECT_TRUE(in) << r.name << " (" << r.votes << " votes) is missing";
    }
}

} // namespace
