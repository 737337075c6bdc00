#include "shell/autostart_entry.h"

#include "data/scrambled_list_file.h"
#include "shell/app_folders.h"
#include "shell/app_info.h"

#include <QDir>
#include <QFile>

namespace lumaro {

QString AutostartFolder() {
    return TXdgEnvironment::FromProcess().ConfigBase() + QStringLiteral("/autostart");
}

QString AutostartEntryPath() {
    return AutostartFolder() + QLatin1Char('/') + QLatin1String(kAppId) + QStringLiteral(".desktop");
}

QString AutostartCommand(const QString& executable) {
    // inside double quotes, ", `, $ and \ take a backslash
    QString quoted = QStringLiteral("\"");
    for (const QChar c : executable) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted += u'\\';
        quoted += c;
    }
    quoted += QStringLiteral("\" a");
    // a literal % would start a field code
    quoted.replace(QStringLiteral("%"), QStringLiteral("%%"));
    return quoted;
}

namespace {

// A string value: backslash, line breaks and tabs escaped.
QString StringValue(const QString& text) {
    QString value;
    for (const QChar c : text) {
        if (c == u'\\')
            value += QStringLiteral("\\\\");
        else if (c == u'\n')
            value += QStringLiteral("\\n");
        else if (c == u'\r')
            value += QStringLiteral("\\r");
        else if (c == u'\t')
            value += QStringLiteral("\\t");
        else
            value += c;
    }
    return value;
}

} // namespace

std::string AutostartEntryText(const QString& name, const QString& command) {
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=%1\n"
                                        "Icon=%2\n"
                                        "Exec=%3\n"
                                        "Terminal=false\n")
                             .arg(StringValue(name), QLatin1String(kAppId), StringValue(command));
    return text.toStdString();
}

void SetAutostart(const QString& name, const QString& command) {
    if (!QDir().mkpath(AutostartFolder())) return;
    try {
        WriteFileAtomically(AutostartEntryPath().toStdString(), AutostartEntryText(name, command));
    } catch (const ListFileError&) {
    }
}

void ClearAutostart() {
    QFile::remove(AutostartEntryPath());
}

} // namespace lumaro
