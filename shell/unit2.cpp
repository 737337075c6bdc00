#include "shell/unit2.h"

#include "data/scrambled_list_file.h"
#include "shell/startup.h"
#include "shell/unit1.h"
#include "ui/skin_label.h"

#include <QVBoxLayout>

namespace lumaro {

TForm2::TForm2(TForm1& form1, QWidget* parent) : QDialog(parent), form1_(form1) {
    setWindowTitle("Settings");
    TntLabel1 = new QLabel("(empty)", this);
    TntLabel1->setAlignment(Qt::AlignCenter);
    FormCreate();
}

void TForm2::FormCreate() {
    if (!SelectStartStation()) return;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TntLabel1);
    setFixedSize(231, 312);
}

bool TForm2::SelectStartStation() {
    TPlaybackController* player = form1_.Player();
    if (!player) return true;
    std::u16string line;
    const std::string arg = form1_.FirstArgument().toStdString();
    if (IsStationArgument(arg)) {
        ByteList parts;
        const bool ok =
            ParseStationArgument(arg, parts, form1_.Catalogue, form1_.Favorites, form1_.Recent, line);
        form1_.SetStartArgumentParts(std::move(parts));
        if (!ok) return false;
    } else {
        if (!FileExists("index.dat")) return true;
        WideList defaults;
        try {
            TScrambledListFile::LoadWideList("index.dat", defaults, kListKey);
        } catch (const ListFileError&) {
            return false;
        }
        if (!defaults.empty()) line = defaults.front();
    }
    if (line.empty()) return true;

    // A newly chosen station: attempt 0, retrying on, not from the clipboard.
    player->ChooseStation(line);
    TPlayerState& state = player->State();
    SplitStationLine(state.StationLine, state.StationFields);
    form1_.SelectedStation = state.StationFields;
    TntLabel1->setText(QString::fromStdU16String(state.StationFields[0]));
    if (AutoPlay == 0) return true;

    form1_.TntLabel1->setText(QString::fromStdU16String(StationSummary(state.StationFields)));
    form1_.suiImageButton8Click();
    return true;
}

} // namespace lumaro
