// The browsing rules without a window: category lists, narrowing, words,
// the filter, the view modes and the Station Info texts.
#include "browse/byte_search.h"
#include "browse/category_lists.h"
#include "browse/result_filter.h"
#include "browse/results_view.h"
#include "browse/station_info.h"
#include "tools/catalogue_generator.h"

#include <gtest/gtest.h>

#include <random>

using namespace lumaro;

namespace {

TStationCatalogue MakeCatalogue(const WideList& lines) {
    TStationCatalogue catalogue;
    catalogue.SetLines(lines);
    catalogue.BuildAnsiCopy();
    catalogue.BuildSearchCopy();
    return catalogue;
}

// A catalogue where every line carries one quirk the filter must respect.
const WideList kLines = {
    /* 0 */ u"Rock Antenne\tClassic rock and pop\tRock\tGermany\tGerman\thttp://rock.example/a",
    /* 1 */ u"Radio rock\tsmall\trock\tAustria\tGerman\thttp://rr.example",
    /* 2 */ u"Hip Hop Nation\tbeats\tHip-Hop\tUnited States\tEnglish\thttp://hh.example",
    /* 3 */ u"80s Hits\tthe 80s forever\tPop\tUnited Kingdom\tEnglish\thttp://80s.example",
    /* 4 */ u"1.FM Jazz\t\tsmooth\t\t\tJazz\t\tNigeria\t\tEnglish\thttp://1.fm/jazz\t", // doubled TABs
    /* 5 */ u"Café Del Mar\tChill\tLounge\tSpain\tSpanish\thttp://cdm.example",
    /* 6 */ u"CAFÉ Blue\tchill too\tLounge\tFrance\tFrench\thttp://blue.example",
    /* 7 */ u"Only URL word\tdesc\tNews\tGermany\tGerman\thttp://secretword.example",
    /* 8 */ u"Broken line\tno categories",                                        // fewer than five fields
    /* 9 */ u"Algeria One\tx\tPop\tAlgeria\tArabic\thttp://dz.example",
};

TEST(ByteSearch, FindsEveryPlacementAgainstANaiveScan) {
    // Needles at every offset across the 16-byte blocks and the scalar tail.
    std::mt19937 rng(7);
    for (int round = 0; round < 2000; ++round) {
        std::string hay(rng() % 70, 'A');
        for (char& c : hay) c = static_cast<char>('A' + rng() % 3);
        std::string needle(1 + rng() % 5, 'A');
        for (char& c : needle) c = static_cast<char>('A' + rng() % 3);
        EXPECT_EQ(ContainsBytes(hay, needle), hay.find(needle) != std::string::npos) << hay << " / " << needle;
    }
    EXPECT_TRUE(ContainsBytes("ABC", ""));

    // upper-casing touches a..z only, in the vector body and in the tail
    std::string all;
    for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
    all += all.substr(97, 40);
    std::string expected = all;
    for (char& c : expected) if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    UpperAsciiInPlace(all.data(), all.size());
    EXPECT_EQ(all, expected);
    EXPECT_FALSE(ContainsBytes("AB", "ABC"));
}

TEST(SearchWords, SplitAtDelimitersIntoADistinctSet) {
    const struct {
        std::u16string text;
        ByteList words;
    } cases[] = {
        {u"rock pop", {"ROCK", "POP"}},
        {u"rock Rock ROCK", {"ROCK"}},
        {u"hip-hop", {"HIP", "HOP"}},
        {u"80s", {"80S"}},
        {u"1.fm", {"1", "FM"}},
        {u"  ,,--  ", {}},
        {u"a`b", {"A`B"}},                 // the backquote is a word byte
        {u"[x]{y}|z~w@v", {"X", "Y", "Z", "W", "V"}},
        {u"Café  CAFÉ", {"CAF\xC3\xA9"}},  // lower-cased first, so both spellings are one word
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitSearchWords(PrepareSearchText(c.text)), c.words) << QString::fromStdU16String(c.text).toStdString();
    EXPECT_EQ(PrepareSearchText(u"\t Jazz \n"), "jazz");
    EXPECT_FALSE(HasNonAscii(u"plain ~ text"));
    EXPECT_TRUE(HasNonAscii(u"caf\u00e9"));
}

struct FilterCase {
    const char* name;
    const char* style;
    const char* country;
    const char* language;
    std::u16string search;
    TResultList expected;
};

class Filter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(Filter, SelectsTheMatchingLinesInCatalogueOrder) {
    static const TStationCatalogue catalogue = MakeCatalogue(kLines);
    static const TResultFilter filter(catalogue);
    const FilterCase& c = GetParam();
    EXPECT_EQ(filter.BuildResultList(c.style, c.country, c.language, PrepareSearchText(c.search),
                                     HasNonAscii(c.search)),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Filter,
    ::testing::Values(
        FilterCase{"everything", "All", "All", "All", u"", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        FilterCase{"only_delimiters", "All", "All", "All", u" ,-;. ", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        FilterCase{"word_any_case", "All", "All", "All", u"ROCK", {0, 1}},
        FilterCase{"two_words_any_order", "All", "All", "All", u"pop rock", {0}},
        FilterCase{"repeated_word", "All", "All", "All", u"rock rock", {0, 1}},
        FilterCase{"hyphen_splits", "All", "All", "All", u"hip-hop", {2}},
        FilterCase{"dot_splits", "All", "All", "All", u"1.fm", {4}},
        FilterCase{"word_in_url_only", "All", "All", "All", u"secretword", {7}},
        FilterCase{"no_match", "All", "All", "All", u"zzzz", {}},
        FilterCase{"style_case_sensitive", "Rock", "All", "All", u"", {0}},
        FilterCase{"style_lower", "rock", "All", "All", u"", {1}},
        FilterCase{"style_with_doubled_tabs", "Jazz", "Nigeria", "English", u"", {4}},
        FilterCase{"two_choices", "All", "Germany", "German", u"", {0, 7}},
        FilterCase{"choice_and_word", "All", "Germany", "All", u"rock", {0}},
        FilterCase{"unknown_choice", "Polka", "All", "All", u"", {}},
        FilterCase{"empty_choice_from_narrowing", "", "All", "All", u"", {}},
        // One accented letter moves every word to the search copy; both
        // letter cases of it match, and the ASCII word still matches.
        FilterCase{"non_ascii_lower", "All", "All", "All", u"caf\u00e9", {5, 6}},
        FilterCase{"non_ascii_upper", "All", "All", "All", u"CAF\u00c9", {5, 6}},
        FilterCase{"non_ascii_with_ascii_word", "All", "All", "All", u"chill caf\u00e9 BLUE", {6}},
        // Without an accent the 8-bit copy is searched: "e" does not find "é".
        FilterCase{"ascii_misses_accent", "All", "All", "All", u"cafe", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Filter, StaleSearchCopyLinesDoNotMatchNonAsciiWords) {
    TStationCatalogue catalogue;
    catalogue.SetLines({u"A\tx\tPop\tFrance\tFrench\thttp://a.example/\u00e9", u"B\tx\tPop\tFrance\tFrench\thttp://b"});
    catalogue.BuildAnsiCopy(); // no search copy at all
    const TResultFilter filter(catalogue);
    EXPECT_EQ(filter.BuildResultList("All", "All", "All", PrepareSearchText(u"\u00e9"), true), TResultList{});
    EXPECT_EQ(filter.BuildResultList("All", "All", "All", "", true), (TResultList{0, 1}));
}

TEST(CategoryLists, SortedByLocaleCaseIgnoredFirstSpellingKept) {
    const TStationCatalogue catalogue = MakeCatalogue({
        u"a\t-\tRock\tGermany\tGerman\thttp://a",
        u"b\t-\trock\tgermany\tgerman\thttp://b",
        u"c\t-\tambient\t\u00c9gypte\tarabic\thttp://c",
        u"d\t-\tZouk\tEstonia\tGerman\thttp://d",
        u"e\t-\t-\tAustria\tEnglish\thttp://e",
        u"f\t-\tBlues\tzimbabwe\tAll\thttp://f",
        u"g\tbroken",
    });
    const TCategoryLists lists = BuildCategoryLists(catalogue, UserCollator(QLocale(QLocale::English)));
    EXPECT_EQ(lists.Style, (ByteList{"All", "-", "ambient", "Blues", "Rock", "Zouk"}));
    // É sorts with E, not after z; lower-case z sorts among the rest.
    EXPECT_EQ(lists.Country, (ByteList{"All", "Austria", "\xC3\x89gypte", "Estonia", "Germany", "zimbabwe"}));
    // A catalogue value "All" is a value like any other; the choice "All" stays first.
    EXPECT_EQ(lists.Language, (ByteList{"All", "All", "arabic", "English", "German"}));
}

TEST(CategoryLists, CLocaleStillIgnoresCase) {
    const TStationCatalogue catalogue =
        MakeCatalogue({u"a\t-\tbeat\tX\tY\thttp://a", u"b\t-\tBEAT\tX\tY\thttp://b", u"c\t-\tAlpha\tX\tY\thttp://c"});
    EXPECT_EQ(BuildCategoryLists(catalogue, UserCollator(QLocale::c())).Style, (ByteList{"All", "Alpha", "beat"}));
}

TEST(CategoryLists, NarrowingKeepsContainingEntriesInListOrder) {
    const ByteList countries = {"All", "Algeria", "Germany", "Niger", "Nigeria", "United Kingdom"};
    const struct {
        std::u16string box;
        ByteList kept;
    } cases[] = {
        {u"", countries},
        {u"ger", {"Algeria", "Germany", "Niger", "Nigeria"}},
        {u"GER", {"Algeria", "Germany", "Niger", "Nigeria"}},
        {u"al", {"All", "Algeria"}},
        {u"d k", {"United Kingdom"}}, // one substring: the space counts
        {u"xyz", {""}},
    };
    for (const auto& c : cases) EXPECT_EQ(NarrowCategoryList(countries, c.box), c.kept);
}

TEST(ResultsView, ModesToggleAndMapRows) {
    using V = TBrowseView;
    const struct {
        V from, pressed, to;
    } transitions[] = {
        {V::Catalogue, V::Favorites, V::Favorites}, {V::Catalogue, V::Recent, V::Recent},
        {V::Favorites, V::Favorites, V::Catalogue}, {V::Favorites, V::Recent, V::Recent},
        {V::Recent, V::Recent, V::Catalogue},       {V::Recent, V::Favorites, V::Favorites},
    };
    for (const auto& t : transitions) EXPECT_EQ(ToggleBrowseView(t.from, t.pressed), t.to);

    const TStationCatalogue catalogue = MakeCatalogue(kLines);
    const TResultList results = {3, 5};
    const TFavoritesList favorites;
    const TBrowseSource source{&catalogue, &results, &favorites, nullptr};
    EXPECT_EQ(source.Count(V::Catalogue), 2u);
    EXPECT_EQ(*source.Line(V::Catalogue, 1), kLines[5]);
    EXPECT_EQ(source.Line(V::Catalogue, 2), nullptr);
    EXPECT_EQ(source.Count(V::Favorites), 0u);
    EXPECT_EQ(source.Line(V::Favorites, 0), nullptr);
    EXPECT_EQ(RowName(kLines[4]), u"1.FM Jazz");
    EXPECT_EQ(RowName(u"http://bare.example/\t"), u"http://bare.example/");
    EXPECT_EQ(CountLabelText(0), u"showing 0 stations");
}

TEST(StationInfo, ShowsFieldsUrlsAndDescriptionLines) {
    EXPECT_FALSE(MakeStationInfo({}));
    EXPECT_FALSE(MakeStationInfo({u"only"}));

    const auto info = MakeStationInfo(SplitStationLine(
        u"Name\tone<newline>two<newline>three <NEWLINE>\tJazz\tFrance\tFrench\thttp://u1\thttp://u2\tftp\thttp://u3"
        u"\t-\thttp://u4\thttp://u5\thttp://u6\thttp://u7"));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->Name, u" Name");
    EXPECT_EQ(info->Style, u" Jazz");
    EXPECT_EQ(info->Country, u" France");
    EXPECT_EQ(info->Language, u" French");
    EXPECT_EQ(info->Description, u"one\r\ntwo\r\nthree <NEWLINE>");
    // Fields 5..10 only; a four-character entry is left out; "-" was dropped by the split.
    EXPECT_EQ(info->Urls, (WideList{u"http://u1", u"http://u2", u"http://u3", u"http://u4", u"http://u5"}));

    const auto bare = MakeStationInfo(SplitStationLine(u"http://bare.example/live\t"));
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->Name, u" http://bare.example/live\t");
    EXPECT_EQ(bare->Urls, WideList{u"http://bare.example/live\t"});
    EXPECT_EQ(bare->Style, u" ");
    EXPECT_TRUE(bare->Description.empty());
}

TEST(Filter, AgreesWithAPlainScanOnAGeneratedCatalogue) {
    // The fast copies and ids must give what the line-by-line rule gives.
    WideList lines;
    for (const auto& l : GenerateCatalogue(3000, 3)) lines.push_back(WideFromAnsi(l));
    const TStationCatalogue catalogue = MakeCatalogue(lines);
    const TResultFilter filter(catalogue);
    const TCategoryLists lists = BuildCategoryLists(catalogue, UserCollator(QLocale(QLocale::English)));
    const std::u16string searches[] = {u"", u"radio", u"fm 1", u"m\u00fcnchen", u"the e", u"\u0440\u0430\u0434\u0438\u043e"};
    for (const auto& search : searches) {
        for (const std::string& style : {lists.Style[0], lists.Style[1], lists.Style[lists.Style.size() / 2]}) {
            const std::string prepared = PrepareSearchText(search);
            const bool nonAscii = HasNonAscii(search);
            const ByteList words = SplitSearchWords(prepared);
            TResultList expected;
            for (size_t i = 0; i < catalogue.Count(); ++i) {
                const TCategoryFields f = CategoryFieldsOf(catalogue.AnsiLine(i));
                if (style != "All" && f.style != style) continue;
                std::string hay = nonAscii ? catalogue.SearchLine(i) : catalogue.AnsiLine(i);
                UpperAsciiInPlace(hay.data(), hay.size());
                bool all = true;
                for (const auto& w : words) all = all && hay.find(w) != std::string::npos;
                if (all) expected.push_back(static_cast<int>(i));
            }
            EXPECT_EQ(filter.BuildResultList(style, "All", "All", prepared, nonAscii), expected)
                << style << " / " << QString::fromStdU16String(search).toStdString();
        }
    }
}

} // namespace
