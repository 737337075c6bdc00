#include "data/scrambled_list_file.h"
#include "shell/app_session.h"
#include "shell/key_table.h"
#include "shell/start_station.h"
#include "shell/startup.h"
#include "shell/unit1.h"
#include "shell/unit2.h"
#include "shell/unit3.h"
#include "ui/skin_label.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumaro;

namespace {

// A program directory with a small catalogue, Favorites and Recent.
class ProgramDir {
public:
    ProgramDir() {
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        WideList catalogue;
        for (int i = 0; i < 20; ++i) {
            const auto n = std::to_string(i);
            catalogue.push_back(WideFromAnsi("Station " + n + "\tDescription " + n +
                                             "\tJazz\tFrance\tFrench\thttp://s" + n + ".example/live"));
        }
        TScrambledListFile::SaveWideList("stations.dat", catalogue, kListKey);
        TScrambledListFile::SaveWideList(
            "fav.dat",
            {u"Fav0\t-\t-\t-\t-\thttp://f0", u"Fav1\t-\t-\t-\t-\thttp://f1", u"Fav2\t-\t-\t-\t-\thttp://f2"},
            kListKey);
        TScrambledListFile::SaveWideList("rec.dat", {u"http://recent.example/only"}, kListKey);
        QDir::setCurrent(old);
    }
    QString Path() const { return dir_.path(); }
    std::string File(const char* name) const { return QDir(dir_.path()).filePath(name).toStdString(); }

private:
    QTemporaryDir dir_;
};

TEST(ArgumentParts, SplitsAtRunsOfAtSigns) {
    const struct {
        const char* arg;
        ByteList parts;
    } cases[] = {
        {"s@1234@336@135", {"s", "1234", "336", "135"}},
        {"s@@12@@100@@250@", {"s", "12", "100", "250"}},
        {"@@", {}},
        {"x@-5@a b", {"x", "-5", "a b"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitArgumentParts(c.arg), c.parts) << c.arg;
}

TEST(ArgumentParts, WindowOriginNeedsFourNumericParts) {
    EXPECT_EQ(ArgumentWindowOrigin({"s", "12", "100", "250"})->left, 130);
    EXPECT_EQ(ArgumentWindowOrigin({"x", "1", "2", "3"})->top, 33);
    EXPECT_EQ(ArgumentWindowOrigin({"s", "1", "-400", "-20"})->left, -370);
    EXPECT_FALSE(ArgumentWindowOrigin({"s", "12"}));
    EXPECT_FALSE(ArgumentWindowOrigin({"s", "1", "2147483647", "0"})); // would overflow
    EXPECT_FALSE(ArgumentWindowOrigin({"s", "1", "1e3", "0"}));
    EXPECT_EQ(BuildStationArgument('f', 2, 336, -135), "f@2@336@-135");
}

TEST(ParseDecimal, AcceptsOnlyWholeIntegers) {
    EXPECT_EQ(ParseDecimal("12"), 12);
    EXPECT_EQ(ParseDecimal("-7"), -7);
    EXPECT_EQ(ParseDecimal("+7"), 7);
    for (const char* bad : {"", "+", "++1", "1x", " 1", "0x10", "99999999999"})
        EXPECT_FALSE(ParseDecimal(bad)) << bad;
}

struct StartCase {
    const char* name;
    const char* argument;
    bool writeIndex;
    std::u16string stationLine; // expected
    bool settingsCreated;       // dialog creation ran to its end
    std::optional<QPoint> placement;
};

class StartStation : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartStation, IsChosenFromTheArgumentOrIndexDat) {
    const StartCase& c = GetParam();
    ProgramDir dir;
    if (c.writeIndex) {
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir.Path());
        TScrambledListFile::SaveWideList("index.dat", {u"Default\t-\t-\t-\t-\thttp://default"}, kListKey);
        QDir::setCurrent(old);
    }
    TAppSession session(dir.Path(), c.argument);
    TForm1& form1 = session.MainWindow();
    TForm2& form2 = session.Settings();
    EXPECT_EQ(session.PlayerState().StationLine, c.stationLine);
    EXPECT_EQ(form2.width() == 231, c.settingsCreated);
    if (!c.stationLine.empty()) {
        EXPECT_EQ(form1.Browser().SelectedStation(), SplitStationLine(c.stationLine));
        EXPECT_EQ(form2.TntLabel1->text().toStdU16String(), SplitStationLine(c.stationLine)[0]);
    }
    // auto-play is off: nothing is put in the information line
    EXPECT_TRUE(form1.TntLabel1->text().isEmpty());
    form1.move(5, 6);
    form1.FormActivate();
    EXPECT_EQ(form1.pos(), c.placement.value_or(QPoint(5, 6)));

    // the same choice without any window
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.Path());
    TStationCatalogue catalogue;
    catalogue.LoadCatalogue("stations.dat");
    TFavoritesList favorites;
    favorites.LoadIfPresent();
    TRecentList recent;
    recent.LoadIfPresent();
    const TStartStation start = ChooseStartStation(c.argument, catalogue, favorites, recent);
    QDir::setCurrent(old);
    EXPECT_EQ(start.StationLine, c.stationLine);
    EXPECT_EQ(start.Completed, c.settingsCreated);
    EXPECT_EQ(start.ArgumentParts,
              IsStationArgument(c.argument) ? SplitArgumentParts(c.argument) : ByteList{});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartStation,
    ::testing::Values(
        StartCase{"no_argument_no_index", "", false, u"", true, {}},
        StartCase{"index_dat", "", true, u"Default\t-\t-\t-\t-\thttp://default", true, {}},
        StartCase{"tray_argument_uses_index", "a", true, u"Default\t-\t-\t-\t-\thttp://default", true, {}},
        StartCase{"upper_case_A_is_normal", "A", true, u"Default\t-\t-\t-\t-\thttp://default", true, {}},
        StartCase{"catalogue_line", "s@12@100@250", true,
                  u"Station 12\tDescription 12\tJazz\tFrance\tFrench\thttp://s12.example/live", true,
                  QPoint(130, 280)},
        StartCase{"catalogue_line_doubled_separators", "s@@12@@100@@250@", true,
                  u"Station 12\tDescription 12\tJazz\tFrance\tFrench\thttp://s12.example/live", true,
                  QPoint(130, 280)},
        StartCase{"without_position",
                  "s@12",
                  false,
                  u"Station 12\tDescription 12\tJazz\tFrance\tFrench\thttp://s12.example/live",
                  true,
                  {}},
        StartCase{"favorites_third_row", "f@2@0@0", false, u"Fav2\t-\t-\t-\t-\thttp://f2", true,
                  QPoint(30, 30)},
        StartCase{"recent_bare_url", "r@0@0@0", false, u"http://recent.example/only", true, QPoint(30, 30)},
        StartCase{"unknown_kind_ignores_index", "x@1@2@3", true, u"", true, QPoint(32, 33)},
        StartCase{"index_out_of_range", "s@20@1@1", true, u"", false, QPoint(31, 31)},
        StartCase{"index_not_decimal", "f@one@1@1", false, u"", false, QPoint(31, 31)},
        StartCase{"negative_index", "r@-1", false, u"", false, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Startup, LoadsListsBuildsCopiesAndFillsTheResultList) {
    ProgramDir dir;
    TAppSession session(dir.Path(), "");
    TForm1& form1 = session.MainWindow();
    EXPECT_EQ(QDir::currentPath(), QDir(dir.Path()).canonicalPath());
    EXPECT_EQ(session.Catalogue().Count(), 20u);
    EXPECT_EQ(session.Catalogue().AnsiCopy().size(), 20u);
    EXPECT_EQ(session.Catalogue().SearchLine(3),
              "station 3\tdescription 3\tjazz\tfrance\tfrench\thttp://s3.example/live");
    EXPECT_EQ(session.Favorites().Count(), 3u);
    EXPECT_EQ(session.Recent().Entry(0), u"http://recent.example/only");
    std::vector<int> all(20);
    for (int i = 0; i < 20; ++i)
        all[i] = i;
    EXPECT_EQ(form1.Browser().ResultList(), all);
    EXPECT_TRUE(FileExists(dir.File("utf8stations.dat")));
    EXPECT_TRUE(QDir(dir.Path()).exists("LumaroRadioRecordings"));
    EXPECT_EQ(form1.size(), QSize(982, 480));
    EXPECT_EQ(session.About().StationCountLabel->text(), "Number of Stations: 20");
}

TEST(Startup, MissingCatalogueStartsEmptyAndWritesNothing) {
    QTemporaryDir dir;
    TAppSession session(dir.path(), "s@0@1@1");
    EXPECT_EQ(session.Catalogue().Count(), 0u);
    EXPECT_TRUE(session.MainWindow().Browser().ResultList().empty());
    EXPECT_TRUE(session.PlayerState().StationLine.empty());
    EXPECT_FALSE(QDir(dir.path()).exists("stations.dat"));
    EXPECT_FALSE(QDir(dir.path()).exists("utf8stations.dat"));
}

TEST(KeyTable, KeysWhateverTheModifiers) {
    const struct {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        TKeyCommand command;
    } cases[] = {
        {"F12", Qt::Key_F12, Qt::NoModifier, TKeyCommand::VolumeUp},
        {"numeric-pad +", Qt::Key_Plus, Qt::KeypadModifier, TKeyCommand::VolumeUp},
        {"F11", Qt::Key_F11, Qt::NoModifier, TKeyCommand::VolumeDown},
        {"numeric-pad -", Qt::Key_Minus, Qt::KeypadModifier, TKeyCommand::VolumeDown},
        {"F5", Qt::Key_F5, Qt::NoModifier, TKeyCommand::Mute},
        {"Shift F11", Qt::Key_F11, Qt::ShiftModifier, TKeyCommand::VolumeDown},
        {"Ctrl Alt F12", Qt::Key_F12, Qt::ControlModifier | Qt::AltModifier, TKeyCommand::VolumeUp},
        {"Shift numeric-pad +", Qt::Key_Plus, Qt::KeypadModifier | Qt::ShiftModifier, TKeyCommand::VolumeUp},
        {"+ of the main keys", Qt::Key_Plus, Qt::NoModifier, TKeyCommand::None},
        {"- of the main keys", Qt::Key_Minus, Qt::ShiftModifier, TKeyCommand::None},
        {"F9", Qt::Key_F9, Qt::NoModifier, TKeyCommand::PlayStop},
        {"Shift F9", Qt::Key_F9, Qt::ShiftModifier, TKeyCommand::PlayStop},
        {"numeric-pad *", Qt::Key_Asterisk, Qt::KeypadModifier, TKeyCommand::PlayStop},
        {"* of the main keys", Qt::Key_Asterisk, Qt::ShiftModifier, TKeyCommand::None},
        {"a letter", Qt::Key_A, Qt::NoModifier, TKeyCommand::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeyCommand(c.key, c.modifiers), c.command) << c.name;
}

} // namespace
