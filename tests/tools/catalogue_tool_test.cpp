#include "data/scrambled_list_file.h"
#include "data/station_record.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sys/wait.h>

using namespace lumaro;

namespace {

struct Result {
    int status;
    std::string out, err;
};

class CatalogueTool : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/lumaro-tool-XXXXXX";
        dir_ = ::mkdtemp(pattern);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(PathOf(name), std::ios::binary) << bytes;
    }

    Result Run(const std::string& args) const {
        const std::string errFile = PathOf("stderr.txt");
        const std::string command = std::string(CATALOGUE_TOOL) + " " + args + " 2>" + errFile;
        Result r{};
        FILE* pipe = ::popen(command.c_str(), "r");
        char buffer[65536];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            r.out.append(buffer, n);
        r.status = WEXITSTATUS(::pclose(pipe));
        r.err = ReadWholeFile(errFile);
        return r;
    }

    std::filesystem::path dir_;
};

TEST_F(CatalogueTool, BuildThenDumpGivesBackTheLinesExactly) {
    const std::string tsv = "Caf\xC3\xA9 FM\tDesc<newline>more\tPop\tFrance\tFrench\thttp://a\thttps://b\n"
                            "\xD0\xA0\xD0\xB0\xD0\xB4\xD0\xB8\xD0\xBE\t-\t-\t-\t-\thttp://c\n"
                            "Emoji \xF0\x9F\x98\x80\tx\ty\tz\tw\thttp://d\n";
    Write("in.tsv", tsv);
    ASSERT_EQ(Run("build " + PathOf("in.tsv") + " " + PathOf("out.dat")).status, 0);
    const Result dump = Run("dump " + PathOf("out.dat"));
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
    const Result dump = Run(std::string("dump ") + BUNDLED_DAT);
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
        const Result r = Run(args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_TRUE(r.out.empty()) << args;
        ASSERT_FALSE(r.err.empty()) << args;
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

} // namespace
