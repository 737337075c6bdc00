#include "recording/recording_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

using namespace lumaro;

namespace {

TEST(SafeFileName, TrimsAndReplacesReservedCharacters) {
    const struct {
        std::u16string in, out;
    } cases[] = {
        {u"AC/DC: Live", u"AC DC  Live"},
        {u"http://radio.example:8000/live", u"http   radio.example 8000 live"},
        {u"  \t Jazz FM \x01", u"Jazz FM"},
        {u"Say \"Hi\" *now*?", u"Say  Hi   now  "},
        {u"a<b>c\\d|e", u"a b c d e"},
        {u"Caf\u00E9 \u0420\u0430\u0434\u0438\u043E\x07x", u"Caf\u00E9 \u0420\u0430\u0434\u0438\u043E\x07x"},
        {u"", u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SafeFileName(c.in), c.out);
}

TEST(StationFolderName, NeverLeavesTheRecordingsFolder) {
    EXPECT_EQ(StationFolderName(u" Radio X "), u"Radio X");
    for (const char16_t* name : {u"", u"   ", u".", u" .. ", u".."})
        EXPECT_TRUE(StationFolderName(name).empty());
    EXPECT_EQ(StationFolderName(u"..."), u"..."); // an ordinary name on every system we run on
}

TEST(RecordingNumbers, NextNumberFollowsTheLargest) {
    const struct {
        const char* name;
        std::vector<std::string> files;
        std::string next;
    } cases[] = {
        {"empty folder", {}, "recording_1.mp3"},
        {"one and three", {"recording_1.mp3", "recording_3.mp3"}, "recording_4.mp3"},
        {"best of 2012", {"recording_1.mp3", "best of 2012.mp3"}, "recording_2013.mp3"},
        {"only before first dot", {"recording_7.old.mp3"}, "recording_8.mp3"},
        {"no digits counts as 0", {"mix.mp3"}, "recording_1.mp3"},
        {"digits spread out", {"a1b2c3.mp3"}, "recording_124.mp3"},
        {"past 32 bits counts as 0", {"99999999999.mp3", "recording_5.mp3"}, "recording_6.mp3"},
        {"largest 32-bit value", {"2147483647.mp3"}, "recording_2147483648.mp3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NextRecordingFileName(c.files), c.next) << c.name;
}

TEST(ListMp3Files, ListsMp3FilesButNotFolders) {
    char pattern[] = "/tmp/lumaro-rec-XXXXXX";
    const std::filesystem::path dir = ::mkdtemp(pattern);
    for (const char* name : {"recording_1.mp3", "loud.MP3", "notes.txt", "mp3"})
        std::ofstream(dir / name) << "x";
    std::filesystem::create_directory(dir / "folder.mp3");
    auto names = ListMp3Files(dir.string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"loud.MP3", "recording_1.mp3"}));
    EXPECT_TRUE(ListMp3Files((dir / "missing").string()).empty());
    std::filesystem::remove_all(dir);
}

TEST(EncoderCommandLine, IsBuiltPieceByPiece) {
    EXPECT_EQ(BuildEncoderCommandLine("recording_1.mp3", u"Artist - \"Song\"", u" Jazz FM "),
              "lame - recording_1.mp3 --tt \"Artist -  Song \" --tc \"Radio  Jazz FM\"");
    EXPECT_EQ(BuildEncoderCommandLine("recording_2.mp3", u"Caf\u00E9", u"\u0420\u0430\u0434\u0438\u043E"),
              "lame - recording_2.mp3 --tt \"Caf\xC3\xA9\" --tc \"Radio  "
              "\xD0\xA0\xD0\xB0\xD0\xB4\xD0\xB8\xD0\xBE\"");
}

} // namespace
