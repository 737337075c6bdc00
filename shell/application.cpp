#include "shell/application.h"

#include "data/list_file_writer.h"
#include "engine/audio_library.h"
#include "shell/startup.h"
#include "shell/unit1.h"
#include "shell/unit2.h"
#include "shell/unit3.h"
#include "shell/unit4.h"

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

    TForm1 form1(QApplication::applicationDirPath(), first);
    form1.setWindowTitle("Lumaro Radio");
    TForm2 form2(form1, &form1);
    TForm3 form3(form1.Catalogue.Count(), &form1);
    TForm4 form4(&form1);
    form1.SetStationInfoWindow(&form4);

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
