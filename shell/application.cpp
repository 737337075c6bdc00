#include "shell/application.h"

#include "data/list_file_writer.h"
#include "engine/audio_library.h"
#include "shell/app_session.h"
#include "shell/startup.h"
#include "shell/unit1.h"

#include <QApplication>

namespace lumaro {

int RunLumaroRadio(int argc, char** argv) {
    engine::PrepareAudioOutput(); // before Qt starts any thread
    QApplication app(argc, argv);
    QApplication::setApplicationName("Lumaro Radio");
    QApplication::setApplicationDisplayName("Lumaro Radio");

    // Only the first argument is looked at.
    const QStringList args = QApplication::arguments();
    const QString first = args.size() > 1 ? args.at(1) : QString();

    TAppSession session(QApplication::applicationDirPath(), first);
    TForm1& form1 = session.MainWindow();
    form1.setWindowTitle("Lumaro Radio");
    if (IsTrayArgument(first.toStdString())) {
        form1.showMinimized();
    } else {
        form1.show();
    }
    const int result = app.exec();
    FlushListFileSaves(); // the lists reach the disk before the process ends
    return result;
}

} // namespace lumaro
