#include "data/station_record.h"
#include "test_util.h"

using namespace lumaro;

namespace {

TStationRecord WithEmpties(std::initializer_list<std::u16string> fields, size_t empties) {
    TStationRecord r(fields);
    r.resize(r.size() + empties);
    return r;
}

struct SplitCase {
    const char* name;
    std::u16string line;
    TStationRecord record;
};

class SplitStationLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitStationLineTest, Splits) {
    TStationRecord record{u"stale"};
    SplitStationLine(GetParam().line, record);
    EXPECT_EQ(record, GetParam().record);
}

const TStationRecord kEightFields =
    WithEmpties({u"N", u"D", u"S", u"C", u"L", u"http://a/1", u"http://b/2"}, 16);

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitStationLineTest,
    ::testing::Values(
        SplitCase{"eight_fields_drop_dash_url", u"N\tD\tS\tC\tL\thttp://a/1\t-\thttp://b/2", kEightFields},
        SplitCase{"double_tabs", u"N\t\tD\t\tS\t\tC\t\tL\t\thttp://a/1\t\t-\t\thttp://b/2", kEightFields},
        SplitCase{"tabs_at_both_ends", u"\tN\tD\tS\tC\tL\thttp://a/1\t-\thttp://b/2\t", kEightFields},
        SplitCase{"all_urls_dash", u"N\thttp://d\tS\tC\tL\t-\t-",
                  WithEmpties({u"N", u"http://d", u"S", u"C", u"L"}, 16)},
        SplitCase{"dash_style_stays", u"N\tD\t-\tC\tL\thttp://u",
                  WithEmpties({u"N", u"D", u"-", u"C", u"L", u"http://u"}, 16)},
        SplitCase{"spaces_are_kept", u" N \t \tS\tC\tL\thttp://u",
                  WithEmpties({u" N ", u" ", u"S", u"C", u"L", u"http://u"}, 16)},
        SplitCase{"bare_http_url", u"http://radio.example/live",
                  TStationRecord{u"http://radio.example/live", u"", u"", u"", u"",
                                 u"http://radio.example/live", u"", u"", u"", u"", u""}},
        SplitCase{"bare_https_url_with_tab", u"https://x.example/s\t",
                  TStationRecord{u"https://x.example/s\t", u"", u"", u"", u"", u"https://x.example/s\t", u"",
                                 u"", u"", u"", u""}},
        SplitCase{"no_scheme_is_bare", u"just text",
                  TStationRecord{u"just text", u"", u"", u"", u"", u"just text", u"", u"", u"", u"", u""}},
        SplitCase{"scheme_at_position_7_is_a_line", u"X\thttp://d\tS",
                  WithEmpties({u"X", u"http://d", u"S"}, 16)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StationSummary, TrimsFieldsAndJoinsWithFixedSeparators) {
    const auto full = SplitStationLine(u"Jazz24\tJazz all day\tJazz\tUnited States\tEnglish\thttp://u");
    EXPECT_EQ(StationSummary(full), u"Jazz24   Jazz all day     Style: Jazz    Country: United States    "
                                    u"Language: English      ");
    TStationRecord sparse{u" Name ", u"", u"", u"", u"", u"", u"", u"", u"", u"", u""};
    EXPECT_EQ(StationSummary(sparse), u"Name        Style:     Country:     Language:       ");
    // controls and spaces at both ends go, inner ones stay
    EXPECT_EQ(TrimWide(u"\x01 a  b\t\x1F"), u"a  b");
}

} // namespace
