#include "data/scrambled_list_file.h"
#include "data/station_record.h"
#include "tool_fixture.h"
#include "tools/catalogue_import.h"
#include "tools/catalogue_tables.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

using namespace lumaro;

namespace {

using lumaro::testing::CatalogueTool;
using lumaro::testing::ExpectCleanFailure;
using lumaro::testing::Gzip;

TEST_F(CatalogueTool, BuildThenDumpGivesBackTheLinesExactly) {
    const std::string tsv = "Caf\xC3\xA9 FM\tDesc<newline>more\tPop\tFrance\tFrench\thttp://a\thttps://b\n"
                            "\xD0\xA0\xD0\xB0\xD0\xB4\xD0\xB8\xD0\xBE\t-\t-\t-\t-\thttp://c\n"
                            "Emoji \xF0\x9F\x98\x80\tx\ty\tz\tw\thttp://d\n";
    Write("in.tsv", tsv);
    ASSERT_EQ(Run("build " + PathOf("in.tsv") + " " + PathOf("out.dat")).status, 0);
    const auto dump = Run("dump " + PathOf("out.dat"));
    EXPECT_EQ(dump.status, 0);
    EXPECT_EQ(dump.out, tsv);

    // CR LF input lines give the same file
    Write("crlf.tsv", "a\r\nb\r\n");
    ASSERT_EQ(Run("build " + PathOf("crlf.tsv") + " " + PathOf("crlf.dat")).status, 0);
    EXPECT_EQ(Run("dump " + PathOf("crlf.dat")).out, "a\nb\n");
}

TEST_F(CatalogueTool, ByteVariantStoresLinesAsGiven) {
    const std::string text = "r\xC3\xA9sum\xC3\xA9\n\xFF\xFE raw bytes\n";
    Write("in.txt", text);
    ASSERT_EQ(Run("build --bytes " + PathOf("in.txt") + " " + PathOf("out.dat")).status, 0);
    ByteList lines;
    TScrambledListFile::LoadByteList(PathOf("out.dat"), lines, kListKey);
    EXPECT_EQ(lines, (ByteList{"r\xC3\xA9sum\xC3\xA9", "\xFF\xFE raw bytes"}));
    EXPECT_EQ(Run("dump --bytes " + PathOf("out.dat")).out, text);
}

TEST_F(CatalogueTool, BundledCatalogueDumpsToItsSource) {
    const auto dump = Run(std::string("dump ") + BUNDLED_DAT);
    ASSERT_EQ(dump.status, 0);
    EXPECT_EQ(dump.out, ReadWholeFile(BUNDLED_TSV));
}

TEST_F(CatalogueTool, BadInputGivesOneLineOnStandardErrorAndStatusOne) {
    Write("bad-utf8.tsv", "ok\n\xC3(\n");
    Write("vt.tsv", "a\vb\n");
    const std::string cases[] = {
        "",
        "frobnicate",
        "build",
        "build " + PathOf("missing.tsv") + " " + PathOf("x.dat"),
        "build " + PathOf("bad-utf8.tsv") + " " + PathOf("x.dat"),
        "build " + PathOf("vt.tsv") + " " + PathOf("x.dat"),
        "build " + PathOf("vt.tsv") + " " + PathOf("no/such/dir/x.dat"),
        "dump " + PathOf("missing.dat"),
        "dump --bytes",
        "generate ten " + PathOf("g.tsv"),
        "generate -5 " + PathOf("g.tsv"),
        "generate 10 " + PathOf("g.tsv") + " --seed",
        "generate 10 " + PathOf("g.tsv") + " --seed x",
    };
    for (const auto& args : cases) {
        const auto r = Run(args);
        ExpectCleanFailure(r, args);
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << args << ": " << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(PathOf("x.dat")));
}

TEST_F(CatalogueTool, GenerateGivesAVariedRepeatableCatalogue) {
    ASSERT_EQ(Run("generate 15000 " + PathOf("a.tsv") + " --seed 7").status, 0);
    ASSERT_EQ(Run("generate 15000 " + PathOf("b.tsv") + " --seed 7").status, 0);
    ASSERT_EQ(Run("generate 15000 " + PathOf("c.tsv") + " --seed 8").status, 0);
    const std::string a = ReadWholeFile(PathOf("a.tsv"));
    EXPECT_EQ(a, ReadWholeFile(PathOf("b.tsv")));
    EXPECT_NE(a, ReadWholeFile(PathOf("c.tsv")));

    std::set<std::u16string> styles, countries, languages;
    size_t lines = 0, nonLatin = 0, placeholders = 0;
    std::set<size_t> urlCounts;
    size_t start = 0;
    while (start < a.size()) {
        const size_t end = a.find('\n', start);
        const auto record = SplitStationLine(WideFromAnsi(a.substr(start, end - start)));
        start = end + 1;
        ++lines;
        ASSERT_GE(record.size(), 6u + 16u);
        styles.insert(record[2]);
        countries.insert(record[3]);
        languages.insert(record[4]);
        if (record[0][0] >= 0x370) ++nonLatin;
        for (int i = 1; i <= 4; ++i)
            placeholders += record[i] == u"-";
        urlCounts.insert(record.size() - 16 - 5);
    }
    EXPECT_EQ(lines, 15000u);
    EXPECT_GT(styles.size(), 300u);
    EXPECT_GT(countries.size(), 190u);
    EXPECT_GT(languages.size(), 95u);
    EXPECT_NEAR(static_cast<double>(nonLatin) / lines, 0.25, 0.03);
    EXPECT_GT(placeholders, 0u);
    EXPECT_EQ(urlCounts, (std::set<size_t>{1, 2, 3, 4}));
}

std::string Fixture(const char* name) {
    return ReadWholeFile(std::string(FIXTURES) + "/" + name);
}

TEST_F(CatalogueTool, ImportReadsAnArrayOrJsonLinesGzippedOrNot) {
    const std::string expected = Fixture("expected.tsv");
    Write("stations.json.gz", Gzip(Fixture("stations.json")));
    Write("stations.jsonl.gz", Gzip(Fixture("stations.jsonl")));
    Write("no-suffix", Gzip(Fixture("stations.jsonl"))); // told by content, not by name
    for (const std::string& in :
         {std::string(FIXTURES) + "/stations.json", std::string(FIXTURES) + "/stations.jsonl",
          PathOf("stations.json.gz"), PathOf("stations.jsonl.gz"), PathOf("no-suffix")}) {
        const auto r = Run("import " + in + " " + PathOf("out.tsv"));
        EXPECT_EQ(r.status, 0) << in << ": " << r.err;
        EXPECT_TRUE(r.out.empty());
        EXPECT_EQ(r.err, "lumaro-catalogue: 7 stations from 12 records\n");
        EXPECT_EQ(ReadWholeFile(PathOf("out.tsv")), expected) << in;
    }
}

TEST_F(CatalogueTool, ImportCountKeepsTheBestOfEachCountryFirst) {
    const auto r = Run("import --count 3 " + std::string(FIXTURES) + "/stations.json " + PathOf("out.tsv"));
    ASSERT_EQ(r.status, 0) << r.err;
    // the three best, each of another country (a tenth of three is less than one)
    EXPECT_EQ(ReadWholeFile(PathOf("out.tsv")), [] {
        const std::string all = Fixture("expected.tsv");
        size_t end = 0;
        for (int i = 0; i < 3; ++i)
            end = all.find('\n', end) + 1;
        return all.substr(0, end);
    }());
}

TEST_F(CatalogueTool, ImportedLinesBuildIntoTheCatalogueUnchanged) {
    ASSERT_EQ(Run("import " + std::string(FIXTURES) + "/stations.jsonl " + PathOf("out.tsv")).status, 0);
    ASSERT_EQ(Run("build " + PathOf("out.tsv") + " " + PathOf("stations.dat")).status, 0);
    EXPECT_EQ(Run("dump " + PathOf("stations.dat")).out, Fixture("expected.tsv"));
}

TEST_F(CatalogueTool, ImportFailsCleanlyAndLeavesTheOutputAlone) {
    Write("html.json", "<html><body>502 Bad Gateway</body></html>");
    Write("numbers.json", "[1,2,3]");
    Write("cut.json", "[{\"name\":\"a\",");
    Write("broken.jsonl", "{\"name\":\"Dead\",\"url\":\"http://dead.example/\",\"lastcheckok\":0}\n");
    Write("corrupt.gz", Gzip(Fixture("stations.json")).substr(0, 500));
    Write("empty.json", "");
    const std::string fixture = std::string(FIXTURES) + "/stations.json ";
    const std::string cases[] = {
        "import " + PathOf("missing.json") + " ",
        "import " + PathOf("html.json") + " ",
        "import " + PathOf("numbers.json") + " ",
        "import " + PathOf("cut.json") + " ",
        "import " + PathOf("broken.jsonl") + " ", // no station passes
        "import " + PathOf("corrupt.gz") + " ",
        "import " + PathOf("empty.json") + " ",
        "import " + PathOf("tmp-dir") + " ", // a directory
        "import --count 0 " + fixture,
        "import --count -3 " + fixture,
        "import --count many " + fixture,
        "import --limit 3 " + fixture,
        "import --count " + fixture,
    };
    std::filesystem::create_directory(PathOf("tmp-dir"));
    for (const auto& args : cases) {
        Write("out.tsv", "the old catalogue\n");
        const auto r = Run(args + PathOf("out.tsv"));
        ExpectCleanFailure(r, args);
        EXPECT_EQ(ReadWholeFile(PathOf("out.tsv")), "the old catalogue\n") << args;
    }
    // the output's folder is missing
    ExpectCleanFailure(Run("import " + fixture + PathOf("no/such/dir/out.tsv")), "no folder");
    // and for an update that is known before any server is asked
    const auto update = Run("update --api http://127.0.0.1:9 " + PathOf("no/such/dir/out.dat"));
    ExpectCleanFailure(update, "update into no folder");
    EXPECT_NE(update.err.find("no such folder"), std::string::npos) << update.err;
    EXPECT_FALSE(std::filesystem::exists(PathOf("no")));
}

// What every line of a catalogue made by the import holds to; returns the
// values of field 2, 3 and 4.
struct Values {
    std::map<std::string, size_t> styles, countries, languages;
    size_t lines = 0, multiUrl = 0;
};

Values CheckCatalogueLines(const std::string& text) {
    Values v;
    std::set<std::string> urls;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        ++v.lines;
        const std::u16string wide = WideFromAnsi(line);
        EXPECT_EQ(AnsiFromWide(wide), line) << "not valid UTF-8: " << line;
        EXPECT_FALSE(IsBareUrlEntry(wide)) << line;
        std::vector<std::string> fields;
        for (size_t f = 0; f <= line.size();) {
            const size_t tab = std::min(line.find('\t', f), line.size());
            fields.push_back(line.substr(f, tab - f));
            f = tab + 1;
        }
        EXPECT_GE(fields.size(), 6u) << line;
        EXPECT_LE(fields.size(), 5 + catalogue::kMaxUrlsPerStation) << line;
        for (const auto& field : fields) {
            EXPECT_FALSE(field.empty()) << line;
            EXPECT_EQ(catalogue::CleanText(field), field) << line;
        }
        if (fields.size() < 6) continue;
        for (size_t i = 5; i < fields.size(); ++i) {
            EXPECT_EQ(catalogue::CleanStreamUrl(fields[i]), fields[i]) << line;
            EXPECT_TRUE(urls.insert(fields[i]).second) << "a stream of two stations: " << fields[i];
        }
        ++v.styles[fields[2]];
        ++v.countries[fields[3]];
        ++v.languages[fields[4]];
        v.multiUrl += fields.size() >= 7;
    }
    return v;
}

TEST_F(CatalogueTool, BundledCatalogueIsFifteenThousandRealStations) {
    const Values v = CheckCatalogueLines(ReadWholeFile(BUNDLED_TSV));
    EXPECT_GE(v.lines, 14000u);
    EXPECT_LE(v.lines, 16000u);
    EXPECT_GT(v.countries.size(), 150u);
    for (const auto& [country, n] : v.countries)
        EXPECT_LE(n, v.lines / 10 + 1) << country;

    const auto genres = catalogue::Genres();
    std::set<std::string> ours(genres.begin(), genres.end());
    ours.insert("-");
    for (const auto& [style, n] : v.styles)
        EXPECT_TRUE(ours.contains(style)) << style;
    EXPECT_GE(v.styles.size(), 25u);

    std::set<std::string> names{"-"};
    for (const auto& e : catalogue::LanguageNames())
        names.insert(std::string(e.value));
    for (const auto& [language, n] : v.languages)
        EXPECT_TRUE(names.contains(language)) << language;
    EXPECT_GE(v.languages.size(), 100u);
    EXPECT_GT(v.multiUrl, v.lines / 5);
}

} // namespace
