#include "engine/encoder/command_line.h"

#include <gtest/gtest.h>

using lumaro::engine::SplitCommandLine;

namespace {

struct SplitCase {
    const char* name;
    std::string line;
    std::vector<std::string> args;
};

// Test names show the case's name rather than its bytes.
void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << c.name;
}

class SplitCommandLineTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, Splits) {
    EXPECT_EQ(SplitCommandLine(GetParam().line), GetParam().args);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitCommandLineTest,
    ::testing::Values(
        SplitCase{"recorder_line",
                  R"(lame - recording_1.mp3 --tt "Song" --tc "Radio  Name")",
                  {"lame", "-", "recording_1.mp3", "--tt", "Song", "--tc", "Radio  Name"}},
        SplitCase{"spaces_and_tabs", "  a \t b\tc  ", {"a", "b", "c"}}, SplitCase{"empty_line", "", {}},
        SplitCase{"blank_line", " \t ", {}}, SplitCase{"quotes_join_parts", R"(a"b c"d e)", {"ab cd", "e"}},
        SplitCase{"empty_quoted_argument", R"(a "" b)", {"a", "", "b"}},
        SplitCase{"quote_pair_inside_quotes_stays_quoted", R"("a""b c" d)", {"a\"b c", "d"}},
        SplitCase{"tripled_quotes", R"("""a""")", {"\"a\""}},
        SplitCase{"escaped_quote", R"(--tt "He said \"hi\"")", {"--tt", "He said \"hi\""}},
        SplitCase{"odd_backslashes_before_quote", R"(a\\\"b)", {"a\\\"b"}},
        SplitCase{"even_backslashes_before_quote", R"(a\\"b c")", {"a\\b c"}},
        SplitCase{"four_backslashes_before_quote", R"(a\\\\"b c")", {"a\\\\b c"}},
        SplitCase{"backslashes_elsewhere_literal", R"(C:\dir\\file a\)", {"C:\\dir\\\\file", "a\\"}},
        SplitCase{"backslash_ends_quoted_part", R"("dir\\" next)", {"dir\\", "next"}},
        SplitCase{"unclosed_quote_runs_to_end", R"(a "b  c)", {"a", "b  c"}},
        SplitCase{"utf8_passes_unchanged", "--tt \"Ελληνικά – Café\"", {"--tt", "Ελληνικά – Café"}}),
    [](const auto& info) { return info.param.name; });

} // namespace
