#include "data/scrambled_list_file.h"
#include "data/station_catalogue.h"
#include "test_util.h"

using namespace lumaro;
using lumaro::testing::ScratchDir;

namespace {

const WideList kLines{u"R\u00C1DIO Um\tDesc\tPop\tPortugal\tPortuguese\thttp://a",
                      u"\u0420\u0430\u0434\u0438\u043E\t-\tNews\tRussia\tRussian\thttp://b",
                      u"Emoji \xD83D\xDE00\t-\t-\t-\t-\thttp://c"};

TEST(StationCatalogue, BuildsParallelCopies) {
    ScratchDir dir;
    TScrambledListFile::SaveWideList("stations.dat", kLines, kListKey);
    TStationCatalogue catalogue;
    ASSERT_TRUE(catalogue.LoadCatalogue("stations.dat"));
    catalogue.BuildAnsiCopy();
    catalogue.PrepareSearchCopy("utf8stations.dat");
    ASSERT_EQ(catalogue.Count(), 3u);
    EXPECT_EQ(catalogue.AnsiLine(0), "R\xC3\x81"
                                     "DIO Um\tDesc\tPop\tPortugal\tPortuguese\thttp://a");
    EXPECT_EQ(catalogue.AnsiLine(2), "Emoji \xF0\x9F\x98\x80\t-\t-\t-\t-\thttp://c");
    EXPECT_EQ(catalogue.SearchLine(0), "r\xC3\xA1"
                                       "dio um\tdesc\tpop\tportugal\tportuguese\thttp://a");
    EXPECT_EQ(catalogue.SearchLine(2), "emoji \xED\xA0\xBD\xED\xB8\x80\t-\t-\t-\t-\thttp://c");
    ByteList stored;
    TScrambledListFile::LoadByteList("utf8stations.dat", stored, kListKey);
    EXPECT_EQ(stored, catalogue.SearchCopy());
}

TEST(StationCatalogue, SearchCopyIsReusedAndRebuiltByteForByte) {
    ScratchDir dir;
    TScrambledListFile::SaveWideList("stations.dat", kLines, kListKey);
    {
        TStationCatalogue first;
        first.LoadCatalogue("stations.dat");
        first.PrepareSearchCopy("utf8stations.dat");
    }
    const std::string written = ReadWholeFile("utf8stations.dat");

    // a later start trusts a file of the right length, even one edited by hand
    ByteList edited{"x", "y", "z"};
    TScrambledListFile::SaveByteList("utf8stations.dat", edited, kListKey);
    TStationCatalogue later;
    later.LoadCatalogue("stations.dat");
    later.PrepareSearchCopy("utf8stations.dat");
    EXPECT_EQ(later.SearchCopy(), edited);

    // a deleted file comes back identical
    std::filesystem::remove("utf8stations.dat");
    TStationCatalogue rebuilt;
    rebuilt.LoadCatalogue("stations.dat");
    rebuilt.PrepareSearchCopy("utf8stations.dat");
    EXPECT_EQ(ReadWholeFile("utf8stations.dat"), written);
}

TEST(StationCatalogue, SearchCopyOfAnotherLengthIsRebuiltAndRewritten) {
    ScratchDir dir;
    TScrambledListFile::SaveWideList("stations.dat", kLines, kListKey);
    TScrambledListFile::SaveByteList("utf8stations.dat", {"only one stale line"}, kListKey);
    TStationCatalogue catalogue;
    catalogue.LoadCatalogue("stations.dat");
    catalogue.PrepareSearchCopy("utf8stations.dat");
    ASSERT_EQ(catalogue.SearchCopy().size(), 3u);
    ByteList stored;
    TScrambledListFile::LoadByteList("utf8stations.dat", stored, kListKey);
    EXPECT_EQ(stored, catalogue.SearchCopy());
}

// The search copy a start ends up with, and what it left on disk.
ByteList SearchCopyAtStart() {
    TStationCatalogue catalogue;
    catalogue.LoadCatalogue("stations.dat");
    catalogue.PrepareSearchCopy("utf8stations.dat");
    return catalogue.SearchCopy();
}

ByteList SearchFormsOf(const WideList& lines) {
    ByteList forms;
    for (const auto& line : lines)
        forms.push_back(SearchForm(line));
    return forms;
}

TEST(StationCatalogue, SearchCopyFollowsACatalogueReplacedByOneOfTheSameLength) {
    ScratchDir dir;
    TScrambledListFile::SaveWideList("stations.dat", kLines, kListKey);
    ASSERT_EQ(SearchCopyAtStart(), SearchFormsOf(kLines));
    EXPECT_TRUE(FileExists("utf8stations.stamp"));

    // an updated catalogue: as many lines, other stations
    const WideList updated{u"Jazz FM\t-\tJazz\tUnited Kingdom\tEnglish\thttp://jazz",
                           u"Radio Nova\t-\tAlternative\tFrance\tFrench\thttp://nova",
                           u"Antenne\t-\tPop\tGermany\tGerman\thttp://antenne"};
    TScrambledListFile::SaveWideList("stations.dat", updated, kListKey);
    EXPECT_EQ(SearchCopyAtStart(), SearchFormsOf(updated));
    ByteList stored;
    TScrambledListFile::LoadByteList("utf8stations.dat", stored, kListKey);
    EXPECT_EQ(stored, SearchFormsOf(updated));

    // and the next start trusts what it wrote
    TScrambledListFile::SaveByteList("utf8stations.dat", {"x", "y", "z"}, kListKey);
    EXPECT_EQ(SearchCopyAtStart(), (ByteList{"x", "y", "z"}));
}

TEST(StationCatalogue, SearchCopyIsRebuiltWhenItsStampIsMissingOrForeign) {
    struct Case {
        const char* name;
        void (*spoil)();
    };
    const Case cases[] = {
        {"no stamp (a copy written by an older program)",
         [] { std::filesystem::remove("utf8stations.stamp"); }},
        {"the stamp of another catalogue",
         [] { TScrambledListFile::SaveByteList("utf8stations.stamp", {"123 00000000deadbeef"}, kListKey); }},
        {"a stamp that is no list file",
         [] {
             std::filesystem::remove("utf8stations.stamp");
             std::filesystem::create_directory("utf8stations.stamp");
         }},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        TScrambledListFile::SaveWideList("stations.dat", kLines, kListKey);
        SearchCopyAtStart();
        const ByteList stale{"stale 1", "stale 2", "stale 3"};
        TScrambledListFile::SaveByteList("utf8stations.dat", stale, kListKey);
        c.spoil();
        EXPECT_EQ(SearchCopyAtStart(), SearchFormsOf(kLines)) << c.name;
    }
}

TEST(StationCatalogue, MissingCatalogueIsEmptyAndWritesNothing) {
    ScratchDir dir;
    TStationCatalogue catalogue;
    EXPECT_FALSE(catalogue.LoadCatalogue("stations.dat"));
    catalogue.BuildAnsiCopy();
    catalogue.PrepareSearchCopy("utf8stations.dat");
    EXPECT_EQ(catalogue.Count(), 0u);
    EXPECT_FALSE(FileExists("stations.dat"));
    EXPECT_FALSE(FileExists("utf8stations.dat"));
    EXPECT_FALSE(FileExists("utf8stations.stamp"));
}

TEST(StationCatalogue, UnreadableCatalogueIsEmptyAndStaysOnDisk) {
    ScratchDir dir;
    std::filesystem::create_directory("stations.dat"); // exists but cannot be read as a file
    TStationCatalogue catalogue;
    EXPECT_FALSE(catalogue.LoadCatalogue("stations.dat"));
    catalogue.PrepareSearchCopy("utf8stations.dat");
    EXPECT_EQ(catalogue.Count(), 0u);
    EXPECT_TRUE(std::filesystem::is_directory("stations.dat"));
    EXPECT_FALSE(FileExists("utf8stations.dat"));
}

} // namespace
