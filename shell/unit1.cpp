#include "shell/unit1.h"

#include "data/scrambled_list_file.h"
#include "shell/startup.h"

#include <QDir>
#include <QEvent>
#include <QVBoxLayout>

namespace lumaro {

TForm1::TForm1(const QString& programDir, const QString& firstArgument, QWidget* parent)
    : QWidget(parent), programDir_(programDir), firstArgument_(firstArgument) {
    FormCreate();
}

void TForm1::FormCreate() {
    PlayerState.Connecting = false;

    RecordingsFolder = QDir(programDir_).filePath("LumaroRadioRecordings").toStdString();
    QDir().mkpath(QString::fromStdString(RecordingsFolder)); // a failure leaves recording to fail later

    auto* layout = new QVBoxLayout(this);
    TntLabel1 = new QLabel(this);
    TntLabel2 = new QLabel(this);
    TntLabel3 = new QLabel(this);
    Label5 = new QLabel(this);
    for (QLabel* label : {TntLabel1, TntLabel2, TntLabel3, Label5}) {
        label->clear();
        layout->addWidget(label);
    }
    layout->addStretch();

    PlayerState.ClipboardMode = false;
    setFixedSize(982, 480);

    QDir::setCurrent(programDir_);

    // A list file that exists but cannot be read leaves that list empty.
    for (TPersonalList* list : {static_cast<TPersonalList*>(&Favorites), static_cast<TPersonalList*>(&Recent)}) {
        try {
            list->LoadIfPresent();
        } catch (const ListFileError&) {
        }
    }

    Catalogue.LoadCatalogue("stations.dat");
    Catalogue.BuildAnsiCopy();
    Catalogue.PrepareSearchCopy("utf8stations.dat");

    ResultList.resize(Catalogue.Count());
    for (size_t i = 0; i < ResultList.size(); ++i) ResultList[i] = static_cast<int>(i);

    RefreshResultsView();
    InitAudioEngine();
    BuildCategoryLists();
    BuildUrlMenu();
}

void TForm1::RefreshResultsView() {}
void TForm1::InitAudioEngine() {}
void TForm1::BuildCategoryLists() {}
void TForm1::BuildUrlMenu() {}
void TForm1::suiImageButton8Click() {}

void TForm1::ApplyActivationPlacement() {
    if (const auto origin = ArgumentWindowOrigin(StartArgumentParts)) move(origin->left, origin->top);
}

void TForm1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) ApplyActivationPlacement();
    QWidget::changeEvent(event);
}

} // namespace lumaro
