#include "shell/application.h"

#include "data/list_file_writer.h"
#include "engine/audio_library.h"
#include "shell/app_session.h"
#include "shell/startup.h"
#include "shell/unit1.h"

#include <cstdio>
#include <cstdlib>

namespace lumaro {

bool TLumaroApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        return false; // dropped without a message
    }
}

int RunLumaroRadio(int argc, char** argv) {
    engine::PrepareAudioOutput(); // before Qt starts any thread
    TLumaroApplication app(argc, argv);
    QApplication::setApplicationName("Lumaro Radio");
    QApplication::setApplicationDisplayName("Lumaro Radio");
    // The program ends through the main window's closing alone, also while
    // only the tray icon is left.
    QApplication::setQuitOnLastWindowClosed(false);

    // Only the first argument is looked at.
    const QStringList args = QApplication::arguments();
    const QString first = args.size() > 1 ? args.at(1) : QString();

    TAppSession session(QApplication::applicationDirPath(), first);
    session.SetProcessEnd([] {
        // Closed: the lists reach the disk, then the process ends at once,
        // without taking the windows and layers apart.
        FlushListFileSaves();
        std::fflush(nullptr);
        std::_Exit(0);
    });
    TForm1& form1 = session.MainWindow();
    form1.setWindowTitle("Lumaro Radio");
    if (IsTrayArgument(first.toStdString())) {
        // only the tray icon: minimising goes to the tray for this run
        session.TrayIcon().SetMinimizeToTray(true);
    } else {
        form1.show();
    }
    const int result = QApplication::exec();
    FlushListFileSaves(); // the lists reach the disk before the process ends
    return result;
}

} // namespace lumaro
