// Where the program's files live: beside the executable for a writable
// program directory, in the desktop's data, config and music folders for an
// installed or read-only one; and a session of an installed program writing
// each of its files into the folder it belongs to.
#include "data/list_file_writer.h"
#include "data/scrambled_list_file.h"
#include "shell/app_folders.h"
#include "shell/app_session.h"
#include "shell/settings_controls.h"
#include "shell/unit2.h"

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <ostream>

using namespace lumaro;

void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

void Write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Every file below dir, relative to it, sorted.
QStringList FilesBelow(const QString& dir) {
    QStringList files;
    QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(dir).relativeFilePath(it.next());
    files.sort();
    return files;
}

// A home with a prefix beside it: <root>/prefix/bin holds the program,
// <root>/prefix/share/lumaro-radio the catalogue when installed is set.
class Tree {
public:
    explicit Tree(bool installed) {
        QDir().mkpath(Bin());
        QDir().mkpath(Home());
        if (installed) Write(Share() + "/stations.dat", "installed");
    }
    QString Root() const { return root_.path(); }
    QString Bin() const { return Root() + "/prefix/bin"; }
    QString Share() const { return Root() + "/prefix/share/lumaro-radio"; }
    QString Home() const { return Root() + "/home"; }

private:
    QTemporaryDir root_;
};

TEST(AppFolders, PortableOrInstalledByTheProgramDirectory) {
    const struct {
        const char* what;
        bool installed, writable;
        const char* dataHome; // relative to the root; "" unset; "rel" a relative value
        const char* configHome;
        bool portable;
        const char* data; // relative to the root
        const char* config;
        const char* catalogue;
    } cases[] = {
        {"writable, no installed tree: all beside the executable", false, true, "xdg/data", "xdg/config",
         true, "prefix/bin", "prefix/bin", "prefix/bin/stations.dat"},
        {"read-only program directory", false, false, "xdg/data", "xdg/config", false,
         "xdg/data/lumaro-radio", "xdg/config/lumaro-radio", "prefix/bin/stations.dat"},
        {"installed and writable (root, or a prefix of the user's own)", true, true, "xdg/data", "xdg/config",
         false, "xdg/data/lumaro-radio", "xdg/config/lumaro-radio", "prefix/share/lumaro-radio/stations.dat"},
        {"installed, the homes unset", true, false, "", "", false, "home/.local/share/lumaro-radio",
         "home/.config/lumaro-radio", "prefix/share/lumaro-radio/stations.dat"},
        {"installed, relative homes are ignored", true, false, "rel", "rel", false,
         "home/.local/share/lumaro-radio", "home/.config/lumaro-radio",
         "prefix/share/lumaro-radio/stations.dat"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Tree tree(c.installed);
        const auto home = [&](const char* value) {
            if (!*value) return QString();
            if (QLatin1String(value) == QLatin1String("rel")) return QStringLiteral("relative/xdg");
            return tree.Root() + "/" + value;
        };
        const TXdgEnvironment env{tree.Home(), home(c.dataHome), home(c.configHome)};
        const TAppFolders f = TAppFolders::Choose(tree.Bin(), tree.Bin() + "/lumaro-radio", c.writable, env);
        EXPECT_EQ(f.Portable, c.portable);
        EXPECT_EQ(f.DataDir, tree.Root() + "/" + c.data);
        EXPECT_EQ(f.ConfigDir, tree.Root() + "/" + c.config);
        EXPECT_EQ(f.CatalogueFile, tree.Root() + "/" + c.catalogue);
        EXPECT_EQ(f.RecordingsFolder, c.portable ? tree.Bin() + "/LumaroRadioRecordings"
                                                 : tree.Home() + "/Music/LumaroRadioRecordings");
        EXPECT_EQ(f.Executable, tree.Bin() + "/lumaro-radio");
        EXPECT_EQ(f.DataFile("fav.dat"), (f.DataDir + "/fav.dat").toStdString());
        EXPECT_EQ(f.ConfigFile("settings.dat"), (f.ConfigDir + "/settings.dat").toStdString());
        // choosing looks, never makes
        EXPECT_FALSE(QFileInfo::exists(f.DataDir) && !c.portable);
        EXPECT_FALSE(QFileInfo::exists(f.ConfigDir) && !c.portable);
    }
}

TEST(AppFolders, AnUpdatedCatalogueInTheDataFolderComesFirst) {
    const Tree tree(true);
    const TXdgEnvironment env{tree.Home(), {}, {}};
    Write(tree.Home() + "/.local/share/lumaro-radio/stations.dat", "updated");
    EXPECT_EQ(TAppFolders::Choose(tree.Bin(), {}, false, env).CatalogueFile,
              tree.Home() + "/.local/share/lumaro-radio/stations.dat");
    // a folder in its place is no catalogue
    QFile::remove(tree.Home() + "/.local/share/lumaro-radio/stations.dat");
    QDir().mkpath(tree.Home() + "/.local/share/lumaro-radio/stations.dat");
    EXPECT_EQ(TAppFolders::Choose(tree.Bin(), {}, false, env).CatalogueFile, tree.Share() + "/stations.dat");
}

TEST(AppFolders, MusicFolderFromTheUserDirsFile) {
    const struct {
        const char* what;
        const char* file;  // user-dirs.dirs; nullptr: none
        const char* music; // relative to home, or absolute
    } cases[] = {
        {"no file", nullptr, "Music"},
        {"$HOME/…", "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_MUSIC_DIR=\"$HOME/Tunes\"\n", "Tunes"},
        {"an absolute path", "XDG_MUSIC_DIR=\"/srv/music\"\n", "/srv/music"},
        {"the home itself (the folder switched off)", "XDG_MUSIC_DIR=\"$HOME/\"\n", ""},
        {"a relative path is not one", "XDG_MUSIC_DIR=\"Tunes\"\n", "Music"},
        {"a comment", "# XDG_MUSIC_DIR=\"$HOME/Old\"\n", "Music"},
        {"$HOMEX is not $HOME", "XDG_MUSIC_DIR=\"$HOMEX/a\"\n", "Music"},
        {"the last entry counts", "XDG_MUSIC_DIR=\"$HOME/A\"\nXDG_MUSIC_DIR=\"$HOME/B\"\n", "B"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Tree tree(false);
        if (c.file) Write(tree.Root() + "/config/user-dirs.dirs", c.file);
        const TXdgEnvironment env{tree.Home(), {}, tree.Root() + "/config"};
        const QString music = QLatin1String(c.music);
        const QString expected = music.startsWith('/') ? music : QDir::cleanPath(tree.Home() + "/" + music);
        EXPECT_EQ(env.MusicFolder(), expected);
    }
}

// An installed program run in an empty home: each file it writes lands in
// its folder, the program directory stays untouched, and a second run reads
// them back from there.
TEST(AppFoldersSession, InstalledProgramWritesIntoTheDesktopFolders) {
    const Tree tree(true);
    TScrambledListFile::SaveWideList((tree.Share() + "/stations.dat").toStdString(),
                                     {u"Station 0\t-\tPop\t-\t-\thttp://127.0.0.1:9/0"}, kListKey);
    const TXdgEnvironment env{tree.Home(), tree.Root() + "/data", tree.Root() + "/config"};
    const TAppFolders folders = TAppFolders::Choose(tree.Bin(), tree.Bin() + "/lumaro-radio", false, env);
    const QString startDir = QDir::currentPath();
    {
        TAppSession session(folders, QString());
        EXPECT_EQ(QDir::currentPath(), startDir) << "an installed program leaves the current directory";
        EXPECT_EQ(session.Catalogue().Count(), 1u);
        EXPECT_FALSE(QFileInfo::exists(folders.RecordingsFolder)) << "made at the first recording";
        EXPECT_FALSE(QFileInfo::exists(folders.ConfigDir)) << "nothing written there yet";

        ASSERT_TRUE(session.Favorites().Add(session.Catalogue().Line(0)));
        session.Favorites().Save();
        ASSERT_TRUE(session.Recent().EnterRecent(session.Catalogue().Line(0)));
        session.Recent().SaveLater();
        FlushListFileSaves();
        for (QAction* action : session.Settings().TntPopupMenu1->actions())
            if (action->text() == "(empty)") action->trigger(); // writes index.dat
        session.Settings().Label6->click();                     // OK writes hotkey.dat
        session.SettingsStore().SaveSettings();
    }
    EXPECT_EQ(FilesBelow(tree.Root() + "/data"),
              QStringList({"lumaro-radio/fav.dat", "lumaro-radio/index.dat", "lumaro-radio/rec.dat",
                           "lumaro-radio/utf8stations.dat", "lumaro-radio/utf8stations.stamp"}));
    EXPECT_EQ(FilesBelow(tree.Root() + "/config"),
              QStringList({"lumaro-radio/hotkey.dat", "lumaro-radio/settings.dat"}));
    EXPECT_TRUE(FilesBelow(tree.Bin()).isEmpty());
    EXPECT_EQ(FilesBelow(tree.Share()), QStringList({"stations.dat"}));
    EXPECT_EQ(QFileInfo(folders.DataDir).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0)
        << "made private, as the base folders are";

    // the next run reads them back
    TAppSession again(folders, QString());
    EXPECT_EQ(again.Favorites().Count(), 1u);
    EXPECT_EQ(again.Recent().Count(), 1u);
    EXPECT_TRUE(again.SettingsStore().Lines().has_value()) << "settings.dat read from the config folder";
}

} // namespace
