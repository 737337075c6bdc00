#include "shell/unit2.h"

#include "shell/app_session.h"
#include "shell/start_station.h"
#include "shell/unit1.h"

#include <QVBoxLayout>

namespace lumaro {

TForm2::TForm2(TAppSession& session, QWidget* parent) : QDialog(parent), session_(session) {
    setWindowTitle("Settings");
    TntLabel1 = new QLabel("(empty)", this);
    TntLabel1->setAlignment(Qt::AlignCenter);
    FormCreate();
}

void TForm2::FormCreate() {
    // The global hot key, then settings.dat: neither can stop the start.
    options_.HotKey = HotKeyFromFile("hotkey.dat");
    if (!options_.HotKey.Empty()) session_.RegisterHotKey(options_.HotKey);
    session_.SettingsStore().LoadSettings(options_);

    // The start station; a station argument that names no line ends the
    // creation here, before the dialog's appearance.
    TForm1& form1 = session_.MainWindow();
    const TStartStation start =
        ChooseStartStation(session_.FirstArgument().toStdString(), session_.Catalogue(), session_.Favorites(),
                           session_.Recent());
    form1.Mover().SetStartArgumentParts(start.ArgumentParts);
    if (!start.Completed) return;
    if (!start.StationLine.empty())
        TntLabel1->setText(QString::fromStdU16String(form1.Browser().PutStartStation(start.StationLine)[0]));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TntLabel1);
    setFixedSize(231, 312);
}

void TForm2::ShowDialog() {
    exec();
}

} // namespace lumaro
