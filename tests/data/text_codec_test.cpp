#include "data/text_codec.h"
#include "test_util.h"

using namespace lumaro;
using lumaro::testing::Bytes;

namespace {

struct Utf8Case {
    const char* name;
    std::u16string wide;
    std::string utf8;
};

class Utf8RoundTrip : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8RoundTrip, EncodesEachCodeUnitAndDecodesBack) {
    const auto& c = GetParam();
    EXPECT_EQ(Utf8FromWide(c.wide), c.utf8);
    EXPECT_EQ(WideFromUtf8(c.utf8), c.wide);
}

INSTANTIATE_TEST_SUITE_P(Cases, Utf8RoundTrip,
                         ::testing::Values(Utf8Case{"empty", u"", ""},
                                           Utf8Case{"ascii", u"Jazz FM", "Jazz FM"},
                                           Utf8Case{"e_acute", u"\u00E9", Bytes({0xC3, 0xA9})},
                                           Utf8Case{"euro", u"\u20AC", Bytes({0xE2, 0x82, 0xAC})},
                                           Utf8Case{"surrogate_pair_as_two_sequences", u"\xD83D\xDE00",
                                                    Bytes({0xED, 0xA0, 0xBD, 0xED, 0xB8, 0x80})},
                                           Utf8Case{"lone_surrogate", std::u16string(1, char16_t(0xDC00)),
                                                    Bytes({0xED, 0xB0, 0x80})},
                                           Utf8Case{"bmp_edge", u"\u07FF\u0800\uFFFF",
                                                    Bytes({0xDF, 0xBF, 0xE0, 0xA0, 0x80, 0xEF, 0xBF, 0xBF})}),
                         [](const auto& info) { return std::string(info.param.name); });

struct DecodeCase {
    const char* name;
    std::string utf8;
    std::u16string wide;
};

class WideFromUtf8Decode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(WideFromUtf8Decode, Decodes) {
    EXPECT_EQ(WideFromUtf8(GetParam().utf8), GetParam().wide);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WideFromUtf8Decode,
    ::testing::Values(
        DecodeCase{"four_bytes_to_pair", Bytes({0xF0, 0x9F, 0x98, 0x80}), u"\xD83D\xDE00"},
        DecodeCase{"stray_continuation_keeps_value", Bytes({'a', 0x85, 'b'}), u"a\u0085b"},
        DecodeCase{"cut_two_byte", Bytes({'x', 0xC3}), u"x\uFFFD"},
        DecodeCase{"cut_four_byte", Bytes({0xF0, 0x9F, 0x98}), u"\uFFFD"},
        DecodeCase{"cut_six_byte", Bytes({0xFC, 0x80}), u"\uFFFD"},
        DecodeCase{"beyond_unicode_gives_replacement", Bytes({0xF7, 0xBF, 0xBF, 0xBF}), u"\uFFFD"},
        DecodeCase{"six_byte_max_gives_replacement", Bytes({0xFD, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF}), u"\uFFFD"},
        // continuation bytes are not checked: the next byte is taken as it comes
        DecodeCase{"unchecked_continuation", Bytes({0xC3, 'A', 'z'}), u"\u0081z"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AnsiConversion, JoinsPairsAndReplacesMalformedInput) {
    EXPECT_EQ(AnsiFromWide(u"\xD83D\xDE00"), Bytes({0xF0, 0x9F, 0x98, 0x80}));
    EXPECT_EQ(AnsiFromWide(std::u16string(1, char16_t(0xD800))), Bytes({0xEF, 0xBF, 0xBD}));
    EXPECT_EQ(WideFromAnsi(Bytes({0xF0, 0x9F, 0x98, 0x80})), u"\xD83D\xDE00");
    EXPECT_EQ(WideFromAnsi(Bytes({'a', 0xFF, 'b'})), u"a\uFFFDb");
    EXPECT_EQ(WideFromAnsi(Bytes({0xE2, 0x82})), u"\uFFFD");
    EXPECT_EQ(WideFromAnsi(Bytes({0xC0, 0x80})), u"\uFFFD\uFFFD"); // overlong
}

TEST(SearchForm, LowersCodeUnitsByTheSimpleMapping) {
    struct {
        std::u16string in, out;
    } cases[] = {
        {u"ABC Jazz", u"abc jazz"},
        {u"\u00C9T\u00C9", u"\u00E9t\u00E9"},                                   // Latin-1
        {u"\u0420\u0410\u0414\u0418\u041E", u"\u0440\u0430\u0434\u0438\u043E"}, // Cyrillic
        {u"\u01C5", u"\u01C6"},                                                 // title case Dž to dž
        {u"\u0130", u"i"},                  // İ has a simple mapping to i
        {u"\u00DF", u"\u00DF"},             // ß has no simple mapping
        {u"\xD801\xDC00", u"\xD801\xDC00"}, // surrogates are not touched
    };
    for (const auto& c : cases)
        EXPECT_EQ(LowerWide(c.in), c.out);
    EXPECT_EQ(SearchForm(u"\u00C9"), Bytes({0xC3, 0xA9}));
}

} // namespace
