#include "shell/settings_file.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>
#include <random>

namespace lumaro {
namespace {

TSettings Defaults() {
    TSettings s;
    s.RecordingsFolder = "/opt/lumaro/LumaroRadioRecordings";
    return s;
}

std::string Lines(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + "\r\n";
    return text;
}

const char* const kGoodLines[] = {
    "80", "-40", "-70", "12", "-3",  "20",   "1",
    "0",  "1",   "1",   "0",  "336", "-135", "/home/u/Music/LumaroRadioRecordings",
    "12"};

std::string GoodFile() {
    std::string text;
    for (const char* line : kGoodLines)
        text += std::string(line) + "\r\n";
    return text;
}

TEST(SettingsFile, FifteenLinesInTableOrderEachEndingInCrLf) {
    TSettings s = Defaults();
    s.WindowLeft = 336;
    s.WindowTop = -135;
    EXPECT_EQ(SettingsFileText(s), Lines({"50", "0", "-150", "0", "0", "0", "0", "0", "0", "0", "0", "336",
                                          "-135", "/opt/lumaro/LumaroRadioRecordings", "5"}));
}

TEST(SettingsFile, ReadsBackWhatItWrites) {
    const TSettings read = SettingsFromText(GoodFile(), Defaults());
    EXPECT_EQ(read.Volume, 80);
    EXPECT_EQ(read.Pan, -40);
    EXPECT_EQ(read.Reverb, -70);
    EXPECT_EQ(read.Treble, 20);
    EXPECT_EQ(read.MinimizeToTray, 1);
    EXPECT_EQ(read.RememberPosition, 1);
    EXPECT_EQ(read.WindowLeft, 336);
    EXPECT_EQ(read.WindowTop, -135);
    EXPECT_EQ(read.RecordingsFolder, "/home/u/Music/LumaroRadioRecordings");
    EXPECT_EQ(read.TimeoutSeconds, 12);
    EXPECT_EQ(SettingsFileText(read), GoodFile());
}

// Each bad line keeps its own default; the lines around it are still read.
TEST(SettingsFile, ABadLineKeepsOnlyItsOwnDefault) {
    struct Case {
        size_t line; // 0-based
        const char* text;
    } cases[] = {
        {0, "abc"}, {0, "99999999999"}, {0, " 7"},    {0, "7 "},   {0, ""},      {2, "-"},
        {2, "1e3"}, {6, "0x1"},         {11, "12.5"}, {12, "--3"}, {14, "five"}, {14, "2147483648"},
    };
    for (const Case& c : cases) {
        std::string text;
        for (size_t i = 0; i < std::size(kGoodLines); ++i)
            text += std::string(i == c.line ? c.text : kGoodLines[i]) + "\r\n";
        const TSettings read = SettingsFromText(text, Defaults());
        TSettings expected = SettingsFromText(GoodFile(), Defaults());
        switch (c.line) {
        case 0:
            expected.Volume = 50;
            break;
        case 2:
            expected.Reverb = -150;
            break;
        case 6:
            expected.MinimizeToTray = 0;
            break;
        case 11:
            expected.WindowLeft.reset();
            break;
        case 12:
            expected.WindowTop.reset();
            break;
        case 14:
            expected.TimeoutSeconds = 5;
            break;
        }
        EXPECT_EQ(read, expected) << "line " << c.line + 1 << ": \"" << c.text << '"';
    }
}

TEST(SettingsFile, SignsAndLineEndsThatStillReadAsNumbers) {
    const TSettings read = SettingsFromText("-0\n+5\r\n-150", Defaults());
    EXPECT_EQ(read.Volume, 0);
    EXPECT_EQ(read.Pan, 5);
    EXPECT_EQ(read.Reverb, -150);
    EXPECT_EQ(read.Bass, 0);
}

TEST(SettingsFile, ShortLongAndGarbageFiles) {
    // only ten lines: the rest keep their defaults
    std::string ten;
    for (size_t i = 0; i < 10; ++i)
        ten += std::string(kGoodLines[i]) + "\r\n";
    TSettings expected = SettingsFromText(GoodFile(), Defaults());
    expected.ReservedFlag = 0;
    expected.WindowLeft.reset();
    expected.WindowTop.reset();
    expected.RecordingsFolder = Defaults().RecordingsFolder;
    expected.TimeoutSeconds = 5;
    EXPECT_EQ(SettingsFromText(ten, Defaults()), expected);

    // ten thousand lines: the first fifteen count
    std::string many = GoodFile();
    for (int i = 0; i < 10000; ++i)
        many += "1\r\n";
    EXPECT_EQ(SettingsFromText(many, Defaults()), SettingsFromText(GoodFile(), Defaults()));

    // a 100 kB first line is no number
    EXPECT_EQ(SettingsFromText(std::string(100000, '7') + "\r\n", Defaults()), Defaults());

    // random bytes: whatever is read, writing it again gives fifteen good lines
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        std::string bytes(size_t(random() % 400), '\0');
        for (char& b : bytes)
            b = char(random() % 8 == 0 ? '\n' : random() % 256);
        const std::string text = SettingsFileText(SettingsFromText(bytes, Defaults()));
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), kSettingsLineCount);
        EXPECT_EQ(SettingsFileText(SettingsFromText(text, Defaults())), text);
    }
}

TEST(SettingsFile, FilesOnDisk) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("settings.dat").toStdString();
    EXPECT_FALSE(LoadSettingsFile(path, Defaults()));

    TSettings s = Defaults();
    s.Volume = 7;
    s.WindowLeft = 1;
    s.WindowTop = 2;
    ASSERT_TRUE(SaveSettingsFile(path, s));
    EXPECT_EQ(LoadSettingsFile(path, Defaults()), s);

    // a folder of that name is no file to read
    const std::string folder = dir.filePath("folder.dat").toStdString();
    std::filesystem::create_directory(folder);
    EXPECT_FALSE(LoadSettingsFile(folder, Defaults()));

    // a folder not there yet is made (a config folder before the first save)
    EXPECT_TRUE(SaveSettingsFile(dir.filePath("missing/settings.dat").toStdString(), s));
    EXPECT_EQ(LoadSettingsFile(dir.filePath("missing/settings.dat").toStdString(), Defaults()), s);
    // a failed save (a file where the folder should be) leaves that file as it was
    EXPECT_FALSE(SaveSettingsFile(path + "/settings.dat", s));
    EXPECT_EQ(LoadSettingsFile(path, Defaults()), s);
    // a folder in the file's place is never replaced
    std::filesystem::create_directory(folder + "/kept");
    EXPECT_FALSE(SaveSettingsFile(folder, s));
    EXPECT_TRUE(std::filesystem::is_directory(folder + "/kept"));
}

} // namespace
} // namespace lumaro
