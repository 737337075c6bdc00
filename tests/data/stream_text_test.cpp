// Stream names and titles in the code pages servers really send.
#include "data/stream_text.h"
#include "test_util.h"
#include "tests/support/code_page.h"

using namespace lumaro;
using lumaro::testing::Bytes;

namespace {

using test_support::Encoded;

struct EncodedCase {
    const char* name;
    std::u16string text;
    const char* codePage; // as sent, and as it must be recognised
};

class StreamTextEncoding : public ::testing::TestWithParam<EncodedCase> {};

TEST_P(StreamTextEncoding, IsRecognisedAndDecoded) {
    const EncodedCase& c = GetParam();
    const std::string bytes = Encoded(c.text, c.codePage);
    EXPECT_STREQ(StreamTextCharset(bytes), c.codePage);
    EXPECT_EQ(WideFromStreamText(bytes), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Titles, StreamTextEncoding,
    ::testing::Values(
        EncodedCase{"utf8", u"Radio \u00DC \u2013 Stra\u00DFe \U0001F3B5", "UTF-8"},
        EncodedCase{"ascii", u"Massive Attack - Teardrop", "UTF-8"},
        EncodedCase{"latin1", u"Caf\u00E9 del Mar - Sonido de la Noche", "windows-1252"},
        EncodedCase{"windows1252_dash_and_quotes", u"Mot\u00F6rhead \u2013 \u201CAce of Spades\u201D",
                    "windows-1252"},
        EncodedCase{"latin1_short_ending_in_a_letter", u"Beyonc\u00E9", "windows-1252"},
        EncodedCase{"latin1_german", u"Gr\u00FC\u00DFe aus M\u00FCnchen", "windows-1252"},
        EncodedCase{"windows1251",
                    u"\u041A\u0438\u043D\u043E - \u0413\u0440\u0443\u043F\u043F\u0430 "
                    u"\u043A\u0440\u043E\u0432\u0438",
                    "windows-1251"},
        EncodedCase{"windows1251_short",
                    u"\u0414\u0435\u0442\u0441\u043A\u043E\u0435 \u0440\u0430\u0434\u0438\u043E",
                    "windows-1251"},
        EncodedCase{
            "windows1251_with_latin",
            u"DJ Smash - \u041C\u043E\u0441\u043A\u0432\u0430 \u043D\u0438\u043A\u043E\u0433\u0434\u0430 "
            u"\u043D\u0435 \u0441\u043F\u0438\u0442",
            "windows-1251"},
        EncodedCase{"koi8r",
                    u"\u041A\u0438\u043D\u043E - \u0413\u0440\u0443\u043F\u043F\u0430 "
                    u"\u043A\u0440\u043E\u0432\u0438",
                    "KOI8-R"},
        EncodedCase{"koi8r_short", u"\u0420\u0430\u0434\u0438\u043E \u0420\u043E\u0441\u0441\u0438\u0438",
                    "KOI8-R"},
        EncodedCase{
            "koi8r_with_latin",
            u"DJ Smash - \u041C\u043E\u0441\u043A\u0432\u0430 \u043D\u0438\u043A\u043E\u0433\u0434\u0430 "
            u"\u043D\u0435 \u0441\u043F\u0438\u0442",
            "KOI8-R"}),
    [](const auto& info) { return std::string(info.param.name); });

struct RawCase {
    const char* name;
    std::string bytes;
    std::u16string shown;
};

class StreamTextBadBytes : public ::testing::TestWithParam<RawCase> {};

TEST_P(StreamTextBadBytes, GiveReadableTextAndLoseNothingElse) {
    const RawCase& c = GetParam();
    EXPECT_EQ(WideFromStreamText(c.bytes), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StreamTextBadBytes,
    ::testing::Values(
        RawCase{"empty", "", u""},
        // a title cut inside a sequence by the sender's buffer: the letters before stay
        RawCase{"utf8_cut_in_a_sequence", "Song \xE2\x80\x93 Caf\xC3\xA9 \xE2\x82",
                u"Song \u2013 Caf\u00E9 "},
        RawCase{"utf8_cut_after_two_bytes", "Euro \xE2\x82", u"Euro "},
        // a stray byte in otherwise UTF-8 text: the whole is Latin text
        RawCase{"utf8_with_a_stray_byte", "Caf\xC3\xA9 \xFF", u"Caf\u00C3\u00A9 \u00FF"},
        // bytes that Windows-1252 leaves undefined
        RawCase{"windows1252_undefined", "Caf\xE9 \x81\x8D\x8F\x90\x9D",
                u"Caf\u00E9 \uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
        RawCase{"windows1251_undefined",
                Bytes({0xC4, 0xE5, 0xF2, 0xF1, 0xEA, 0xEE, 0xE5, 0x20, 0xF0, 0xE0, 0xE4, 0xE8, 0xEE, 0x98}),
                u"\u0414\u0435\u0442\u0441\u043A\u043E\u0435 \u0440\u0430\u0434\u0438\u043E\uFFFD"},
        RawCase{"control_bytes_kept_for_the_display_to_blank",
                "A\x01"
                "B\x1A"
                "C",
                u"A\x01"
                u"B\x1A"
                u"C"},
        RawCase{"only_high_bytes", Bytes({0xFF, 0xFE, 0xFD}), u"\u044F\u044E\u044D"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StreamText, LongTextIsDetectedFromItsStartAndDecodedWhole) {
    // 100 kB of a Windows-1251 name: decoded in full, detection reads its start
    std::string bytes;
    std::u16string expected;
    while (bytes.size() < 100000) {
        bytes += Bytes({0xD0, 0xE0, 0xE4, 0xE8, 0xEE, 0x20});
        expected += u"\u0420\u0430\u0434\u0438\u043E ";
    }
    EXPECT_EQ(WideFromStreamText(bytes), expected);
}

} // namespace
