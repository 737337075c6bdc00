// The import's rules one by one: cleaning, our style, country and language
// values, descriptions, merging and ranking, parsing and unpacking.
#include "data/station_record.h"
#include "data/text_codec.h"
#include "tool_fixture.h"
#include "tools/catalogue_import.h"
#include "tools/catalogue_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

using namespace lumaro;
using namespace lumaro::catalogue;
using lumaro::testing::Gzip;

namespace {

struct TextCase {
    const char* in;
    const char* out;
};

TEST(CatalogueImport, FieldsLoseControlCharactersAndExtraSpace) {
    const TextCase cases[] = {
        {"  Radio \t One\r\n", "Radio One"},
        {"a\vb\fc\x7F"
         "d",
         "a b c d"},
        {"line\xE2\x80\xA8sep\xE2\x80\xA9par", "line sep par"}, // U+2028, U+2029 break list files
        {"c1\xC2\x85next", "c1 next"},                          // U+0085
        {"no\xC2\xA0"
         "break",
         "no break"}, // U+00A0 is a space
        {"\xE2\x80\xAE"
         "evil\xE2\x80\xAC",
         "evil"}, // bidirectional overrides vanish
        {"\xEF\xBB\xBF"
         "bom",
         "bom"},                                      // U+FEFF
        {"bad \xC3( utf8", "bad \xEF\xBF\xBD( utf8"}, // malformed: U+FFFD
        {"overlong \xC0\xAF", "overlong \xEF\xBF\xBD\xEF\xBF\xBD"},
        {"surrogate \xED\xA0\x80!", "surrogate \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD!"},
        {"emoji \xF0\x9F\x98\x80 ok", "emoji \xF0\x9F\x98\x80 ok"},
        {"\xD0\xA0\xD0\xB0\xD0\xB4\xD0\xB8\xD0\xBE", "\xD0\xA0\xD0\xB0\xD0\xB4\xD0\xB8\xD0\xBE"},
        {" \t\r\n ", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CleanText(c.in), c.out) << c.in;
    EXPECT_EQ(CleanText(std::string("nul\0inside", 10)), "nul inside");
}

TEST(CatalogueImport, NamesNeverReadAsBareUrls) {
    const TextCase cases[] = {
        {"http://radio.example/live", "radio.example/live"},
        {"HTTPS://Radio.Example", "Radio.Example"},
        {"a://b://c", "c"},
        {"ab://", ""},
        {"Radio http://x", "Radio http://x"}, // "://" after the sixth character is harmless
        {"#1 Hits", "#1 Hits"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CleanName(c.in), c.out) << c.in;
        const std::string line =
            std::string(CleanName(c.in).empty() ? "-" : CleanName(c.in)) + "\t-\t-\t-\t-\thttp://u";
        EXPECT_FALSE(IsBareUrlEntry(WideFromAnsi(line))) << c.in;
    }
}

TEST(CatalogueImport, OnlyHttpAndHttpsUrlsOfAThousandCharactersAtMost) {
    const std::string host = "http://stream.example/";
    const TextCase cases[] = {
        {"http://stream.example/live", "http://stream.example/live"},
        {"  https://stream.example/a.mp3  ", "https://stream.example/a.mp3"},
        {"HTTP://Stream.Example/Live", "http://Stream.Example/Live"},
        {"http://stream.example/my stream.mp3", "http://stream.example/my%20stream.mp3"},
        {"http://stream.example/\xC3\xA9t\xC3\xA9", "http://stream.example/\xC3\xA9t\xC3\xA9"},
        {"ftp://stream.example/live", ""},
        {"rtsp://stream.example/live", ""},
        {"mms://stream.example/live", ""},
        {"stream.example/live", ""},
        {"http://", ""},
        {"http:///path", ""},
        {"http://stream.example/\tlive", ""},
        {"http://stream.example/\nlive", ""},
        {"http://bad\xC3(.example/", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CleanStreamUrl(c.in), c.out) << c.in;
    const std::string longest = host + std::string(1000 - host.size(), 'x');
    EXPECT_EQ(CleanStreamUrl(longest), longest);
    EXPECT_EQ(CleanStreamUrl(longest + "x"), "");
}

TEST(CatalogueImport, StyleIsOneOfOurGenresChosenFromTheTags) {
    const TextCase cases[] = {
        {"pop", "Pop"},
        {"m\xC3\xBAsica pop", "Pop"},
        {"pop music", "Pop"},
        {"top 40", "Hits"},
        {"top40", "Hits"},
        {"Top-40", "Hits"},
        {"estaci\xC3\xB3n", "-"},
        {"estaci\xC3\xB3n,m\xC3\xBAsica,m\xC3\xA9xico", "-"},
        {"", "-"},
        {" , ,", "-"},
        {"hip-hop", "Hip Hop"},
        {"Hip Hop", "Hip Hop"},
        {"80's", "Oldies"},
        {"#jazz", "Jazz"},
        {"news,talk,local news", "News"},        // two tags for News
        {"classical,instrumental", "Classical"}, // a tie: the more specific genre
        {"music,radio,rock", "Rock"},            // tags that name no genre count for nothing
        {"pop,pop,pop,rock", "Rock"},            // a tag counts once: a tie, and Rock comes first
        {"christian rock", "Christian"},
        {"regional mexicana,banda", "Regional Mexican"},
        {"noticias", "News"},
        {"nachrichten", "News"},
        {"smooth jazz fm", "Jazz"}, // not in the table: its words decide
        {"radio de rock cl\xC3\xA1sico", "Rock"},
        {"the quick brown fox", "-"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StyleOfTags(c.in), c.out) << c.in;
}

TEST(CatalogueImport, GenreTablesAreConsistent) {
    const auto genres = Genres();
    EXPECT_GE(genres.size(), 25u);
    EXPECT_LE(genres.size(), 50u);
    const std::set<std::string_view> known(genres.begin(), genres.end());
    EXPECT_EQ(known.size(), genres.size());
    std::set<std::string_view> keys;
    for (const auto& e : TagGenres()) {
        EXPECT_TRUE(known.contains(e.value)) << e.key;
        EXPECT_EQ(NormalTag(e.key), e.key) << "not in normal form";
        EXPECT_TRUE(keys.insert(e.key).second) << e.key << " given twice";
    }
    for (const auto& e : GenreWords()) {
        EXPECT_TRUE(known.contains(e.value)) << e.key;
        EXPECT_EQ(e.key.find(' '), std::string_view::npos) << e.key;
    }
    for (std::string_view tag : TagsWithoutGenre()) {
        EXPECT_EQ(NormalTag(tag), tag);
        EXPECT_FALSE(keys.contains(tag)) << tag << " is both a genre and none";
    }
    EXPECT_GE(TagGenres().size(), 300u);
}

TEST(CatalogueImport, CountryIsTheEnglishShortName) {
    const TextCase cases[] = {
        {"RU", "Russia"},
        {"ru", "Russia"},
        {" de ", "Germany"},
        {"GB", "United Kingdom"},
        {"US", "United States"},
        {"KR", "South Korea"},
        {"CZ", "Czechia"},
        {"XK", "Kosovo"},
        {"HK", "Hong Kong"},
        {"CD", "Democratic Republic of the Congo"},
        {"TT", "Trinidad and Tobago"},
        {"", "-"},
        {"ZZ", "-"},
        {"RUS", "-"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CountryOfCode(c.in), c.out) << c.in;
    std::set<std::string_view> codes, names;
    for (const auto& e : CountryNames()) {
        EXPECT_EQ(e.key.size(), 2u);
        EXPECT_TRUE(std::all_of(e.key.begin(), e.key.end(), [](char c) { return c >= 'A' && c <= 'Z'; }));
        EXPECT_TRUE(codes.insert(e.key).second) << e.key;
        EXPECT_TRUE(names.insert(e.value).second) << e.value;
        for (std::string_view odd : {"&", "St. ", "SAR", "(the)", "The "})
            EXPECT_EQ(e.value.find(odd), std::string_view::npos) << e.value;
    }
    EXPECT_GE(codes.size(), 249u);
}

TEST(CatalogueImport, LanguageIsOneEnglishNameForTheFirstLanguage) {
    const TextCase cases[] = {
        {"english", "English"},
        {"American English", "English"},
        {"english,spanish", "English"},
        {"deutsch", "German"},
        {"castellano. espa\xC3\xB1ol", "Spanish"},
        {"espa\xC3\xB1ol mexico", "Spanish"},
        {"espa\xC3\xB1ol - latinoamerica", "Spanish"},
        {"brazilian portuguese", "Portuguese"},
        {"portugu\xC3\xAAs  brasil", "Portuguese"},
        {"english/russian", "English"},
        {"#english", "English"},
        {"Fran\xC3\xA7"
         "ais",
         "French"},
        {"\xD1\x8F\xD0\xB7\xD1\x8B\xD0\xBA: \xD1\x80\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9",
         "Russian"},
        {"\xE4\xB8\xAD\xE6\x96\x87", "Chinese"},
        {"bangla", "Bengali"},
        {"swiss german", "Swiss German"},
        {"de", "German"},
        {"", "-"},
        {" , english", "-"}, // the first language is empty
        {"undefined", "-"},
        {"1", "-"},
        {"asunci\xC3\xB3n", "-"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LanguageOf(c.in), c.out) << c.in;
    for (const auto& e : LanguageNames()) {
        EXPECT_EQ(NormalLanguageSpelling(e.key), e.key) << "not in normal form";
        EXPECT_TRUE(e.value[0] >= 'A' && e.value[0] <= 'Z') << e.value;
    }
    for (std::string_view spelling : SpellingsWithoutLanguage())
        EXPECT_EQ(LanguageOf(spelling), "-") << spelling;
}

TEST(CatalogueImport, DescriptionIsOurOwnWordsLineByLine) {
    struct Case {
        const char* tags;
        const char* codec;
        int64_t bitrate;
        bool hls;
        const char* homepage;
        const char* out;
    };
    const Case cases[] = {
        {"pop,rock,80s", "MP3", 128, false, "https://radio.example/",
         "Pop, rock, 80s<newline>MP3 128 kbps<newline>https://radio.example/"},
        {"", "AAC", 64, false, "", "AAC 64 kbps"},
        {"", "AAC+", 0, true, "", "AAC+ (HLS)"},
        {"", "UNKNOWN", 96, false, "", "96 kbps"},
        {"", "AAC,H.264", 0, false, "", "AAC"},
        {"", "OGG", 112, false, "", "Ogg 112 kbps"},
        {"", "UNKNOWN", 0, false, "", "-"},
        {"", "", 0, false, "radio.example", "-"}, // a homepage that is no web address
        {"mp3,radio,128 kbps,jazz,fm", "", 0, false, "", "Jazz"},
        {"m\xC3\xBAsica,\xC3\xA9xitos", "", 0, false, "", "\xC3\x89xitos"},
        {"a,b,c,d,e,f,g,h,i,j", "", 0, false, "", "A, b, c, d, e, f, g, h"},
        {"jazz,Jazz,JAZZ", "", 0, false, "", "Jazz"},
        {"pop\trock,x\ny", "", 0, false, "", "Pop rock, x y"},
        {"ftp://x,news", "", 0, false, "", "News"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DescriptionOf(c.tags, c.codec, c.bitrate, c.hls, c.homepage), c.out) << c.tags;
}

// --- stations from records ------------------------------------------------

SourceRecord Record(std::string uuid, std::string name, std::string url, int64_t votes = 10,
                    std::string countryCode = "FR") {
    SourceRecord r;
    r.uuid = std::move(uuid);
    r.name = std::move(name);
    r.url = std::move(url);
    r.countryCode = std::move(countryCode);
    r.votes = votes;
    r.lastCheckTime = "2025-10-01 12:00:00";
    r.lastChangeTime = "2025-01-01 00:00:00";
    return r;
}

const Station* Named(const std::vector<Station>& stations, std::string_view name) {
    for (const auto& s : stations)
        if (s.name == name) return &s;
    return nullptr;
}

TEST(CatalogueImport, RecordsThatCannotPlayAreDropped) {
    std::vector<SourceRecord> records{Record("1", "Alive", "http://a.example/live")};
    records.push_back(Record("2", "Broken", "http://b.example/live"));
    records.back().lastCheckOk = false;
    records.push_back(Record("3", "Ftp only", "ftp://c.example/live"));
    records.push_back(Record("4", "Too long", "http://d.example/" + std::string(1000, 'x')));
    records.push_back(Record("5", "Resolved only", ""));
    records.back().urlResolved = "https://e.example/live";
    records.push_back(Record("6", "No URL", ""));
    const auto stations = ImportStations(records);
    std::set<std::string> names;
    for (const auto& s : stations)
        names.insert(s.name);
    EXPECT_EQ(names, (std::set<std::string>{"Alive", "Resolved only"}));
}

TEST(CatalogueImport, OneStationPerUuidTheLatestChangeWinning) {
    std::vector<SourceRecord> records{Record("same", "Old name", "http://old.example/"),
                                      Record("same", "New name", "http://new.example/")};
    records[1].lastChangeTime = "2025-06-01 00:00:00";
    const auto stations = ImportStations(records);
    ASSERT_EQ(stations.size(), 1u);
    EXPECT_EQ(stations[0].name, "New name");
    EXPECT_EQ(stations[0].urls, (std::vector<std::string>{"http://new.example/"}));
}

TEST(CatalogueImport, RecordsOfOneNameInOneCountryBecomeOneStation) {
    // by votes: c (30), a (20), b (10); each gives url_resolved, then url
    std::vector<SourceRecord> records{
        Record("a", "Radio  Nova", "http://a/url", 20), Record("b", "radio nova", "http://b/url", 10),
        Record("c", "RADIO NOVA ", "http://c/url", 30), Record("d", "Radio Nova", "http://d/url", 5, "BE")};
    records[0].urlResolved = "http://a/resolved";
    records[1].urlResolved = "http://c/url"; // a repeat
    records[2].urlResolved = "http://c/url"; // the same as its url
    const auto stations = ImportStations(records);
    ASSERT_EQ(stations.size(), 2u);
    const Station& france = stations[0];
    EXPECT_EQ(france.name, "RADIO NOVA");
    EXPECT_EQ(france.country, "France");
    EXPECT_EQ(france.urls, (std::vector<std::string>{"http://c/url", "http://a/resolved", "http://a/url",
                                                     "http://b/url"}));
    EXPECT_EQ(stations[1].country, "Belgium");

    // never more than four URLs
    std::vector<SourceRecord> many;
    for (int i = 0; i < 6; ++i)
        many.push_back(Record(std::to_string(i), "Many", "http://many/" + std::to_string(i), 10 - i));
    const auto merged = ImportStations(many);
    ASSERT_EQ(merged.size(), 1u);
    EXPECT_EQ(merged[0].urls.size(), kMaxUrlsPerStation);
    EXPECT_EQ(merged[0].urls[0], "http://many/0");
}

TEST(CatalogueImport, AStreamBelongsToTheBetterStationOnly) {
    std::vector<SourceRecord> records{Record("1", "Big", "http://shared/live", 500),
                                      Record("2", "Small", "http://shared/live", 5),
                                      Record("3", "Smaller", "http://shared/live", 1)};
    records[1].urlResolved = "http://small/own";
    const auto stations = ImportStations(records);
    ASSERT_EQ(stations.size(), 2u);
    EXPECT_EQ(stations[0].urls, (std::vector<std::string>{"http://shared/live"}));
    EXPECT_EQ(stations[1].name, "Small");
    EXPECT_EQ(stations[1].urls, (std::vector<std::string>{"http://small/own"}));
}

TEST(CatalogueImport, EveryFieldOfTheLineIsCleanAndNeverEmpty) {
    SourceRecord r = Record("1", "\tTab\r\nName ", "http://x/");
    r.tags = "jazz\t,blues";
    r.language = "\x01";
    r.countryCode = "";
    const auto stations = ImportStations({r});
    ASSERT_EQ(stations.size(), 1u);
    EXPECT_EQ(StationLine(stations[0]), "Tab Name\tJazz, blues\tJazz\t-\t-\thttp://x/");
    SourceRecord unnamed = Record("2", " \t", "http://y/");
    EXPECT_EQ(StationLine(ImportStations({unnamed})[0]), "-\t-\t-\tFrance\t-\thttp://y/");
}

TEST(CatalogueImport, RankingByVotesAndClicksWithStaleChecksBehind) {
    std::vector<SourceRecord> records{
        Record("1", "Voted", "http://1/", 1000), Record("2", "Clicked", "http://2/", 0),
        Record("3", "Quiet", "http://3/", 3), Record("4", "Stale but famous", "http://4/", 100000),
        Record("5", "Stale", "http://5/", 100)};
    records[1].clicks = 5000;
    records[3].lastCheckTime = "2020-08-27 10:00:00";
    records[4].lastCheckTime = "2020-08-27 10:00:00";
    std::vector<std::string> order;
    for (const auto& s : ImportStations(records))
        order.push_back(s.name);
    // a stale check costs much, but not everything
    EXPECT_EQ(order, (std::vector<std::string>{"Stale but famous", "Voted", "Clicked", "Stale", "Quiet"}));

    // "Stale" with 100 votes comes after a fresh one with 30
    records.push_back(Record("6", "Fresh", "http://6/", 30));
    order.clear();
    for (const auto& s : ImportStations(records))
        order.push_back(s.name);
    EXPECT_LT(std::find(order.begin(), order.end(), "Fresh"), std::find(order.begin(), order.end(), "Stale"));
}

TEST(CatalogueImport, ChoosingKeepsEveryCountryAndCapsEachAtATenth) {
    // France: 100 stations, far the most voted; ten more countries of five each
    std::vector<SourceRecord> records;
    for (int i = 0; i < 100; ++i)
        records.push_back(Record("fr" + std::to_string(i), "France " + std::to_string(i),
                                 "http://fr/" + std::to_string(i), 1000 - i, "FR"));
    const char* const others[] = {"IS", "MT", "FJ", "LI", "AD", "MC", "SM", "LU", "CY", "BT"};
    for (const char* code : others)
        for (int i = 0; i < 5; ++i)
            records.push_back(Record(code + std::to_string(i), std::string(code) + " " + std::to_string(i),
                                     std::string("http://") + code + "/" + std::to_string(i), 100 - i, code));
    const auto perCountry = [](const std::vector<Station>& stations) {
        std::map<std::string, int> counts;
        for (const auto& s : stations)
            ++counts[s.countryCode];
        return counts;
    };

    const auto chosen = ImportStations(records, 30);
    ASSERT_EQ(chosen.size(), 30u);
    auto counts = perCountry(chosen);
    EXPECT_EQ(counts.size(), 11u); // every country
    EXPECT_EQ(counts["FR"], 3);    // a tenth of 30
    EXPECT_TRUE(std::is_sorted(chosen.begin(), chosen.end(),
                               [](const Station& a, const Station& b) { return a.rank > b.rank; }));
    ASSERT_NE(Named(chosen, "France 2"), nullptr);
    EXPECT_EQ(Named(chosen, "France 3"), nullptr);

    // when the other countries run out, the rest come by rank whatever their country
    const auto more = ImportStations(records, 60);
    ASSERT_EQ(more.size(), 60u);
    EXPECT_EQ(perCountry(more)["FR"], 10);
    // fewer stations than asked for: all of them
    EXPECT_EQ(ImportStations(records, 1000).size(), records.size());
}

// --- parsing and unpacking ------------------------------------------------

TEST(CatalogueImport, ParsesAnArrayOrJsonLinesWithFieldsOfAnyType) {
    const std::string object1 = R"({"stationuuid":"u1","name":"One","url":"http://1/","votes":"12",)"
                                R"("clickcount":3.7,"bitrate":null,"lastcheckok":0,"hls":true,"tags":7})";
    const std::string object2 =
        R"({"stationuuid":"u2","name":"Two","url":"http://2/","extra":{"deep":[1,2]}})";
    const std::string array = "\xEF\xBB\xBF [" + object1 + ",\n" + object2 + "]";
    const std::string lines = object1 + "\n\n" + object2 + "\r\n";
    for (const std::string& text : {array, lines}) {
        const auto records = ParseStationRecords(text);
        ASSERT_EQ(records.size(), 2u);
        EXPECT_EQ(records[0].uuid, "u1");
        EXPECT_EQ(records[0].votes, 12);
        EXPECT_EQ(records[0].clicks, 3);
        EXPECT_EQ(records[0].bitrate, 0);
        EXPECT_FALSE(records[0].lastCheckOk);
        EXPECT_TRUE(records[0].hls);
        EXPECT_EQ(records[0].tags, "");
        EXPECT_TRUE(records[1].lastCheckOk); // not given: reachable
        EXPECT_EQ(records[1].votes, 0);
    }
    size_t skipped = 0;
    const auto records = ParseStationRecords(object1 + "\n{broken\n[1]\n" + object2 + "\n", &skipped);
    EXPECT_EQ(records.size(), 2u);
    EXPECT_EQ(skipped, 2u);
}

TEST(CatalogueImport, TextThatHoldsNoStationRecordsIsRefused) {
    const std::string cases[] = {
        "",
        "   \n",
        "<html>Service unavailable</html>",
        "{broken",
        "[{\"name\":\"cut off\"",
        "[1, 2, 3]",
        "[{\"name\":\"ok\"}, \"text\"]",
        "\"a string\"",
        "{\"error\": 1} trailing",
    };
    for (const auto& text : cases)
        EXPECT_THROW(ParseStationRecords(text), ImportError) << text;
    EXPECT_THROW(ParseStationArray("{\"name\":\"an object, not a list\"}"), ImportError);
    EXPECT_NO_THROW(ParseStationArray("[]"));
}

TEST(CatalogueImport, GzipIsToldByContentAndCheckedWhole) {
    const std::string plain = "[{\"name\":\"x\"}]";
    EXPECT_EQ(InflateIfGzip(plain), plain);
    EXPECT_EQ(InflateIfGzip(Gzip(plain)), plain);
    EXPECT_EQ(InflateIfGzip(Gzip("[{\"a\":1},") + Gzip("{\"b\":2}]")),
              "[{\"a\":1},{\"b\":2}]"); // two members
    const std::string packed = Gzip(std::string(100000, 'x'));
    EXPECT_THROW(InflateIfGzip(packed.substr(0, packed.size() / 2)), ImportError);
    std::string corrupt = packed;
    corrupt[corrupt.size() - 6] ^= 0x55; // in the CRC of the data
    EXPECT_THROW(InflateIfGzip(corrupt), ImportError);
    corrupt = packed;
    corrupt[10] ^= 0x7F; // the first byte of the deflate data
    EXPECT_THROW(InflateIfGzip(corrupt), ImportError);
    EXPECT_THROW(InflateIfGzip(packed, 50000), ImportError); // more than allowed unpacked
    EXPECT_THROW(InflateIfGzip("\x1F\x8B"), ImportError);
}

} // namespace
