#pragma once
// The main window: owns the catalogue and its copies, the personal lists, the
// result list and the playback state for the life of the process.

#include "data/personal_lists.h"
#include "data/station_catalogue.h"
#include "playback/player_state.h"

#include <QLabel>
#include <QString>
#include <QWidget>

#include <vector>

namespace lumaro {

// Ascending catalogue positions that pass the filter.
using TResultList = std::vector<int>;

class TForm1 : public QWidget {
    Q_OBJECT
public:
    // programDir is the directory of the executable; it becomes the current
    // directory. firstArgument is the first command-line argument, or empty.
    TForm1(const QString& programDir, const QString& firstArgument, QWidget* parent = nullptr);

    // Shared operations that later layers fill in.
    void RefreshResultsView();
    void InitAudioEngine();
    void BuildCategoryLists();
    void BuildUrlMenu();
    void suiImageButton8Click(); // Play/Stop

    // The start-up station argument, split at "@"; written once, read on
    // every activation.
    void SetStartArgumentParts(ByteList parts) { StartArgumentParts = std::move(parts); }
    void ApplyActivationPlacement();

    const QString& ProgramDir() const { return programDir_; }
    const QString& FirstArgument() const { return firstArgument_; }

    TStationCatalogue Catalogue;
    TFavoritesList Favorites;
    TRecentList Recent;
    TResultList ResultList;
    TPlayerState PlayerState;
    TStationRecord SelectedStation;
    ByteList StartArgumentParts;
    std::string RecordingsFolder; // absolute, UTF-8

    QLabel* TntLabel1 = nullptr; // information line
    QLabel* TntLabel2 = nullptr; // stream title
    QLabel* TntLabel3 = nullptr; // status
    QLabel* Label5 = nullptr;    // bit rate

protected:
    void changeEvent(QEvent* event) override;

private:
    void FormCreate();

    QString programDir_;
    QString firstArgument_;
};

} // namespace lumaro
