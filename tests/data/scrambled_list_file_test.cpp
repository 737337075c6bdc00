#include "data/scrambled_list_file.h"
#include "test_util.h"

#include <csignal>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace lumaro;
using lumaro::testing::Bytes;
using lumaro::testing::ScratchDir;

namespace {

std::string Utf16Le(std::u16string_view text, bool mark = true) {
    std::string out = mark ? Bytes({0xFF, 0xFE}) : std::string();
    for (char16_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    }
    return out;
}

std::string Utf16Be(std::u16string_view text) {
    std::string out = Bytes({0xFE, 0xFF});
    for (char16_t c : text) {
        out.push_back(static_cast<char>(c >> 8));
        out.push_back(static_cast<char>(c & 0xFF));
    }
    return out;
}

void WriteRaw(const std::string& name, std::string bytes) {
    TScrambledListFile::Scramble(bytes, kListKey);
    std::ofstream(name, std::ios::binary) << bytes;
}

std::string ReadRaw(const std::string& name) {
    std::string bytes = ReadWholeFile(name);
    TScrambledListFile::Scramble(bytes, kListKey);
    return bytes;
}

struct WideCase {
    const char* name;
    std::string plain;
    WideList lines;
};

class WideDecoding : public ::testing::TestWithParam<WideCase> {};

TEST_P(WideDecoding, LoadsTheLines) {
    ScratchDir dir;
    WriteRaw("list.dat", GetParam().plain);
    WideList list{u"previous content"};
    TScrambledListFile::LoadWideList("list.dat", list, kListKey);
    EXPECT_EQ(list, GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    LineRules, WideDecoding,
    ::testing::Values(
        WideCase{"zero_bytes", "", {}}, WideCase{"mark_alone", Bytes({0xFF, 0xFE}), {}},
        WideCase{"crlf", Utf16Le(u"a\r\nb\r\n"), {u"a", u"b"}},
        WideCase{"lf_only", Utf16Le(u"a\nb\n"), {u"a", u"b"}},
        WideCase{"cr_only", Utf16Le(u"a\rb"), {u"a", u"b"}},
        WideCase{"empty_line_between", Utf16Le(u"a\r\n\r\nb"), {u"a", u"", u"b"}},
        WideCase{"cr_cr_gives_empty_line", Utf16Le(u"a\r\rb"), {u"a", u"", u"b"}},
        WideCase{"lf_cr_is_two_breaks", Utf16Le(u"a\n\rb"), {u"a", u"", u"b"}},
        WideCase{"other_breaks", Utf16Le(u"a\vb\fc\u2028d\u2029e"), {u"a", u"b", u"c", u"d", u"e"}},
        WideCase{"last_line_without_break", Utf16Le(u"a\r\nb"), {u"a", u"b"}},
        WideCase{"nul_ends_text", Utf16Le(std::u16string(u"a\r\nb\0c\r\nd", 9)), {u"a", u"b"}},
        WideCase{"odd_byte_ignored", Utf16Le(u"ab") + "\x41", {u"ab"}},
        WideCase{"big_endian", Utf16Be(u"\u00E9t\u00E9\r\nx"), {u"\u00E9t\u00E9", u"x"}},
        WideCase{"no_mark_is_8bit_text", "caf" + Bytes({0xC3, 0xA9}) + "\r\nb", {u"caf\u00E9", u"b"}},
        WideCase{"one_byte_is_8bit_text", "a", {u"a"}},
        WideCase{"little_endian_without_mark_is_8bit", Utf16Le(u"a", false), {u"a"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WideSaving, WritesLittleEndianWithMarkAndCrLfAfterEveryLine) {
    ScratchDir dir;
    TScrambledListFile::SaveWideList("list.dat", {u"a", u"\u20AC"}, kListKey);
    EXPECT_EQ(ReadRaw("list.dat"), Utf16Le(u"a\r\n\u20AC\r\n"));
    TScrambledListFile::SaveWideList("empty.dat", {}, kListKey);
    EXPECT_EQ(ReadRaw("empty.dat"), Bytes({0xFF, 0xFE}));
    // the stored form is scrambled: the first byte on disk is FF ^ 3D
    EXPECT_EQ(static_cast<unsigned char>(ReadWholeFile("empty.dat")[0]), 0xFF ^ 0x3D);
}

TEST(WideSaving, RewritesEveryReadableFormAsLittleEndianWithMark) {
    ScratchDir dir;
    const std::string forms[] = {Utf16Le(u"x\r\ny\r\n"), Utf16Be(u"x\r\ny"), "x\ny", Utf16Le(u"x\ry")};
    for (const auto& form : forms) {
        WriteRaw("list.dat", form);
        WideList list;
        TScrambledListFile::LoadWideList("list.dat", list, kListKey);
        TScrambledListFile::SaveWideList("list.dat", list, kListKey);
        EXPECT_EQ(ReadRaw("list.dat"), Utf16Le(u"x\r\ny\r\n"));
    }
}

TEST(WideSaving, BreakCharactersInsideALineSplitItOnReload) {
    ScratchDir dir;
    for (const char16_t* line : {u"a\vb", u"a\fb", u"a\u2028b", u"a\u2029b"}) {
        TScrambledListFile::SaveWideList("list.dat", {line}, kListKey);
        WideList list;
        TScrambledListFile::LoadWideList("list.dat", list, kListKey);
        EXPECT_EQ(list, (WideList{u"a", u"b"}));
    }
}

struct ByteCase {
    const char* name;
    std::string plain;
    ByteList lines;
};

class ByteDecoding : public ::testing::TestWithParam<ByteCase> {};

TEST_P(ByteDecoding, LoadsTheLines) {
    ScratchDir dir;
    WriteRaw("list.dat", GetParam().plain);
    ByteList list{"previous"};
    TScrambledListFile::LoadByteList("list.dat", list, kListKey);
    EXPECT_EQ(list, GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    LineRules, ByteDecoding,
    ::testing::Values(ByteCase{"zero_bytes", "", {}}, ByteCase{"crlf", "a\r\nb\r\n", {"a", "b"}},
                      ByteCase{"mixed_breaks", "a\nb\rc\r\rd", {"a", "b", "c", "", "d"}},
                      ByteCase{"mark_is_not_special", Bytes({0xFF, 0xFE, 'a'}), {Bytes({0xFF, 0xFE, 'a'})}},
                      ByteCase{"vt_is_no_break", "a\vb", {"a\vb"}},
                      ByteCase{"nul_ends_text", std::string("a\r\nb\0c", 6), {"a", "b"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ByteSaving, StoresLinesAsGivenWithCrLf) {
    ScratchDir dir;
    const ByteList lines{"caf\xC3\xA9", "", "z"};
    TScrambledListFile::SaveByteList("b.dat", lines, kListKey);
    EXPECT_EQ(ReadRaw("b.dat"), "caf\xC3\xA9\r\n\r\nz\r\n");
    ByteList back;
    TScrambledListFile::LoadByteList("b.dat", back, kListKey);
    EXPECT_EQ(back, lines);
}

TEST(ListFileErrors, MissingFileRaisesAndLeavesTheListAlone) {
    ScratchDir dir;
    WideList list{u"kept"};
    EXPECT_THROW(TScrambledListFile::LoadWideList("missing.dat", list, kListKey), ListFileError);
    EXPECT_EQ(list, WideList{u"kept"});
}

TEST(ListFileErrors, SaveThatRunsOutOfSpaceKeepsTheOldFileWhole) {
    ScratchDir dir;
    TScrambledListFile::SaveWideList("fav.dat", {u"old"}, kListKey);
    // A file-size limit makes the write fail part-way, as a full disk would.
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = saved;
    tiny.rlim_cur = 64;
    ::setrlimit(RLIMIT_FSIZE, &tiny);
    EXPECT_THROW(TScrambledListFile::SaveWideList("fav.dat", WideList(100, u"a long new entry"), kListKey),
                 ListFileError);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    WideList list;
    TScrambledListFile::LoadWideList("fav.dat", list, kListKey);
    EXPECT_EQ(list, WideList{u"old"});
}

TEST(ListFileErrors, SaveLeavesNoTemporaryFileBehind) {
    ScratchDir dir;
    TScrambledListFile::SaveWideList("fav.dat", {u"a"}, kListKey);
    TScrambledListFile::SaveWideList("fav.dat", {u"b"}, kListKey);
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        ++files;
    EXPECT_EQ(files, 1u);
}

TEST(ListFileSaving, MakesMissingFoldersPrivateAndFailsQuietlyWhereNoneCanBe) {
    ScratchDir dir;
    // a folder not there yet (a desktop's data folder before the first save)
    TScrambledListFile::SaveWideList("new/lumaro/fav.dat", {u"a"}, kListKey);
    WideList list;
    TScrambledListFile::LoadWideList("new/lumaro/fav.dat", list, kListKey);
    EXPECT_EQ(list, WideList{u"a"});
    struct stat st {};
    ASSERT_EQ(::stat("new/lumaro", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat("new", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // a file where a folder should be: an error, and the file stays as it was
    std::ofstream("blocker") << "x";
    EXPECT_THROW(TScrambledListFile::SaveWideList("blocker/fav.dat", {u"a"}, kListKey), ListFileError);
    EXPECT_EQ(ReadWholeFile("blocker"), "x");
}

} // namespace
