#include "shell/window_launcher.h"

#include "shell/startup.h"

#include <QCoreApplication>
#include <QProcess>

namespace lumaro {

void LaunchCopy(char kind, int index, int left, int top) {
    const std::string argument = BuildStationArgument(kind, index, left, top);
    QProcess::startDetached(QCoreApplication::applicationFilePath(), {QString::fromStdString(argument)});
}

} // namespace lumaro
