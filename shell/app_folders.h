#pragma once
// Where the program's files live. A writable program directory that is not
// part of an installed tree is portable: every file stays beside the
// executable. Otherwise the files go where the desktop expects them: the lists
// and the search copy in the data folder ($XDG_DATA_HOME/lumaro-radio), the
// settings and the hot key in the config folder ($XDG_CONFIG_HOME/lumaro-radio),
// the recordings in the user's music folder, and the catalogue is read from
// the data folder's copy when the user updated one, else from the installed
// share/lumaro-radio/. Decided once at start-up; folders are made when a file
// is first written into them, never here.

#include <QString>

#include <string>

namespace lumaro {

// The parts of the environment that place the folders; empty when unset.
struct TXdgEnvironment {
    QString Home;       // $HOME, or the account's home folder
    QString DataHome;   // $XDG_DATA_HOME as given
    QString ConfigHome; // $XDG_CONFIG_HOME as given

    static TXdgEnvironment FromProcess();
    // $XDG_DATA_HOME, or ~/.local/share when unset, empty or relative (the
    // base directory rules ignore a relative value).
    QString DataBase() const;
    // $XDG_CONFIG_HOME, or ~/.config likewise.
    QString ConfigBase() const;
    // The user's music folder: XDG_MUSIC_DIR of <config>/user-dirs.dirs (the
    // file xdg-user-dir reads), else ~/Music.
    QString MusicFolder() const;
};

struct TAppFolders {
    bool Portable = true;
    QString ProgramDir;       // the executable's folder
    QString Executable;       // the program itself, for new copies and autostart
    QString DataDir;          // fav.dat, rec.dat, index.dat, utf8stations.dat
    QString ConfigDir;        // settings.dat, hotkey.dat
    QString CatalogueFile;    // the stations.dat to read
    QString RecordingsFolder; // the default recordings folder

    // The layout for the running program: its folder, its executable (as the
    // system named it at start-up, so a package upgrade that replaces the file
    // later does not change it) and the process's environment.
    static TAppFolders Find(const QString& programDir, const QString& executable);
    // The same rule with everything it looks at given.
    static TAppFolders Choose(const QString& programDir, const QString& executable, bool programDirWritable,
                              const TXdgEnvironment& environment);

    std::string DataFile(const char* name) const;
    std::string ConfigFile(const char* name) const;
};

// The name of the folder under the data and config homes.
inline constexpr const char* kFolderName = "lumaro-radio";

} // namespace lumaro
