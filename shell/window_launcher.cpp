#include "shell/window_launcher.h"

#include "shell/startup.h"

#include <QProcess>

namespace lumaro {

void LaunchCopy(const QString& executable, char kind, int index, int left, int top) {
    const std::string argument = BuildStationArgument(kind, index, left, top);
    QProcess::startDetached(executable, {QString::fromStdString(argument)});
}

} // namespace lumaro
