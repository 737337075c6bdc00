#include "shell/app_folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include <unistd.h>

namespace lumaro {

namespace {

constexpr const char* kRecordingsName = "LumaroRadioRecordings";
constexpr const char* kCatalogueName = "stations.dat";

QString AbsoluteOr(const QString& value, const QString& fallback) {
    return !value.isEmpty() && QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : fallback;
}

// <prefix>/share/lumaro-radio beside <prefix>/bin, whether or not it exists.
QString InstalledShareDir(const QString& programDir) {
    return QDir::cleanPath(programDir + QStringLiteral("/../share/") + QLatin1String(kFolderName));
}

} // namespace

TXdgEnvironment TXdgEnvironment::FromProcess() {
    TXdgEnvironment e;
    e.Home = QDir::homePath();
    e.DataHome = qEnvironmentVariable("XDG_DATA_HOME");
    e.ConfigHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    return e;
}

QString TXdgEnvironment::DataBase() const {
    return AbsoluteOr(DataHome, QDir::cleanPath(Home + QStringLiteral("/.local/share")));
}

QString TXdgEnvironment::ConfigBase() const {
    return AbsoluteOr(ConfigHome, QDir::cleanPath(Home + QStringLiteral("/.config")));
}

QString TXdgEnvironment::MusicFolder() const {
    const QString fallback = QDir::cleanPath(Home + QStringLiteral("/Music"));
    QFile file(ConfigBase() + QStringLiteral("/user-dirs.dirs"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return fallback;
    // XDG_MUSIC_DIR="$HOME/Music" or an absolute path, as xdg-user-dirs writes it
    static const QRegularExpression line(QStringLiteral("^\\s*XDG_MUSIC_DIR=\"([^\"]*)\"\\s*$"));
    QString found;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QRegularExpressionMatch m = line.match(in.readLine());
        if (m.hasMatch()) found = m.captured(1); // the last one counts, as for the shell
    }
    if (found.startsWith(QStringLiteral("$HOME")) && (found.size() == 5 || found.at(5) == QLatin1Char('/')))
        found = Home + found.mid(5);
    found.replace(QStringLiteral("\\\""), QStringLiteral("\""))
        .replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    return AbsoluteOr(found, fallback);
}

TAppFolders TAppFolders::Find(const QString& programDir, const QString& executable) {
    const QByteArray dir = QFile::encodeName(programDir);
    return Choose(programDir, executable, ::access(dir.constData(), W_OK) == 0,
                  TXdgEnvironment::FromProcess());
}

TAppFolders TAppFolders::Choose(const QString& programDir, const QString& executable, bool programDirWritable,
                                const TXdgEnvironment& environment) {
    TAppFolders f;
    f.ProgramDir = QDir::cleanPath(programDir);
    f.Executable = executable;
    const QString share = InstalledShareDir(f.ProgramDir);
    // An installed tree is known by its share folder: a user's own prefix
    // (~/.local/bin) is writable, and root may write anywhere.
    f.Portable = programDirWritable && !QFileInfo(share).isDir();
    if (f.Portable) {
        f.DataDir = f.ConfigDir = f.ProgramDir;
        f.CatalogueFile = f.ProgramDir + QLatin1Char('/') + QLatin1String(kCatalogueName);
        f.RecordingsFolder = f.ProgramDir + QLatin1Char('/') + QLatin1String(kRecordingsName);
        return f;
    }
    f.DataDir = environment.DataBase() + QLatin1Char('/') + QLatin1String(kFolderName);
    f.ConfigDir = environment.ConfigBase() + QLatin1Char('/') + QLatin1String(kFolderName);
    f.RecordingsFolder = environment.MusicFolder() + QLatin1Char('/') + QLatin1String(kRecordingsName);
    // the user's updated copy first, then the installed one, then a read-only
    // portable folder's own
    for (const QString& candidate : {f.DataDir, share, f.ProgramDir}) {
        const QString file = candidate + QLatin1Char('/') + QLatin1String(kCatalogueName);
        if (QFileInfo(file).isFile()) {
            f.CatalogueFile = file;
            break;
        }
    }
    if (f.CatalogueFile.isEmpty())
        f.CatalogueFile = (QFileInfo(share).isDir() ? share : f.ProgramDir) + QLatin1Char('/') +
                          QLatin1String(kCatalogueName);
    return f;
}

std::string TAppFolders::DataFile(const char* name) const {
    return (DataDir + QLatin1Char('/') + QLatin1String(name)).toStdString();
}

std::string TAppFolders::ConfigFile(const char* name) const {
    return (ConfigDir + QLatin1Char('/') + QLatin1String(name)).toStdString();
}

} // namespace lumaro
