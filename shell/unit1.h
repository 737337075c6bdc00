#pragma once
// The main window: owns the catalogue and its copies, the personal lists, the
// result list and the playback state for the life of the process, and holds
// every control of the skinned 982 x 480 window.

#include "browse/category_lists.h"
#include "browse/result_filter.h"
#include "browse/results_view.h"
#include "data/personal_lists.h"
#include "data/station_catalogue.h"
#include "playback/player_state.h"

#include <QString>
#include <QWidget>

#include <vector>

class QMenu;

namespace lumaro {

class GaugeBar;
class LevelMeter;
class SkinBackground;
class SkinEdit;
class SkinGrid;
class SkinIconButton;
class SkinKnob;
class SkinLabel;
class SkinSwitch;
class TForm4;

// The record of the row in focus, read by Station Info.
using TSelectedStation = TStationRecord;

class TForm1 : public QWidget {
    Q_OBJECT
public:
    // programDir is the directory of the executable; it becomes the current
    // directory. firstArgument is the first command-line argument, or empty.
    TForm1(const QString& programDir, const QString& firstArgument, QWidget* parent = nullptr);
    ~TForm1() override;

    // Shared operations.
    void RefreshResultsView();
    void BuildCategoryLists();
    void InitAudioEngine();        // the audio engine's issue fills this in
    void BuildUrlMenu();           // playback
    void StartConnectionWorker();  // playback
    void suiImageButton8Click();   // Play/Stop: playback
    void ShowStationInfo();

    // Results view
    void suiStringGrid4Click();
    void suiStringGrid4DblClick();
    void suiStringGrid4MouseDown(Qt::MouseButton button, QPoint pos);
    void suiStringGrid4MouseUp(Qt::MouseButton button, QPoint pos);
    void Label1MouseDown();  // "Favorites"
    void Label17MouseDown(); // "Recent"
    void GaugeBar1Change(GaugeBar* bar);

    // Category lists, filter and search
    void suiStringGrid1DblClick();
    void TntEdit2Change();
    void NarrowCategoryList(TCategoryKind kind, const QString& boxText);
    void Image2Click();
    void Image3Click();
    void Image5Click();
    void Image6Click();

    // Context menu entries
    void AddtoFavorites1Click() {}     // personal lists
    void DeletefromFavorites1Click() {}
    void EmptyFavoriteslist1Click() {}
    void Removefromlist1Click() {}
    void EmptyRecentlist1Click() {}
    void Stationinfo1Click() { ShowStationInfo(); }
    void Stationinfo2Click() { ShowStationInfo(); }
    void Addtofavorites2Click() { ShowStationInfo(); }
    void TntLabel1Click() { ShowStationInfo(); }
    void Newwindow1Click();
    void Openinnewwindow1Click();
    void Openinnewwindow2Click();

    // Window, switches and knobs whose behaviour comes with later layers.
    void DIBImage1MouseDown();
    void suiImageButton5Click(); // close
    void suiImageButton6Click(); // minimise
    void suiImageButton2Click() {} // Mono
    void suiImageButton3Click() {} // URL menu
    void suiImageButton4Click() {} // Add to Fav.
    void suiImageButton7Click() {} // Mute
    void suiImageButton9Click() {} // Rec
    void Label19Click() {}         // Settings
    void Label20Click() {}         // About
    void Label22Click() {}         // Recordings

    // The start-up station argument, split at "@"; written once, read on
    // every activation.
    void SetStartArgumentParts(ByteList parts) { StartArgumentParts = std::move(parts); }
    void ApplyActivationPlacement();
    // The Station Info window, created after this one.
    void SetStationInfoWindow(TForm4* form4) { form4_ = form4; }

    const QString& ProgramDir() const { return programDir_; }
    const QString& FirstArgument() const { return firstArgument_; }
    TBrowseView View() const { return view_; }
    bool NonAsciiSearch() const { return nonAscii_; }
    // The entries each category list shows now (narrowed by its box).
    const ByteList& ShownCategories(TCategoryKind kind) const { return shown_.Of(kind); }
    const TCategoryLists& CategoryLists() const { return categories_; }

    TStationCatalogue Catalogue;
    TFavoritesList Favorites;
    TRecentList Recent;
    TResultList ResultList;
    TPlayerState PlayerState;
    TSelectedStation SelectedStation;
    ByteList StartArgumentParts;
    std::string RecordingsFolder; // absolute, UTF-8

    // Controls, by the names the rest of the program knows them by.
    SkinBackground* DIBImage1 = nullptr;
    SkinSwitch* suiImageButton5 = nullptr; // close
    SkinSwitch* suiImageButton6 = nullptr; // minimise
    SkinLabel* TntLabel1 = nullptr;        // information line
    SkinLabel* TntLabel2 = nullptr;        // stream title
    SkinLabel* TntLabel3 = nullptr;        // status
    SkinLabel* Label5 = nullptr;           // bit rate
    SkinLabel* Label23 = nullptr;          // "recording"
    LevelMeter* DIBKnob1 = nullptr;
    SkinKnob* DIBKnob2 = nullptr; // Bass
    SkinKnob* DIBKnob3 = nullptr; // Middle
    SkinKnob* DIBKnob4 = nullptr; // Treble
    SkinKnob* DIBKnob5 = nullptr; // Volume
    SkinKnob* DIBKnob6 = nullptr; // Reverb
    SkinKnob* DIBKnob7 = nullptr; // Pan
    SkinLabel* Label2 = nullptr;  // "Bass"
    SkinLabel* Label6 = nullptr;  // "Middle"
    SkinLabel* Label7 = nullptr;  // "Treble"
    SkinLabel* Label9 = nullptr;  // "Pan"
    SkinLabel* Label10 = nullptr; // "Volume"
    SkinLabel* Label16 = nullptr; // "Reverb"
    SkinSwitch* suiImageButton8 = nullptr; // Play/Stop
    SkinSwitch* suiImageButton3 = nullptr; // URL
    SkinSwitch* suiImageButton4 = nullptr; // Add to Fav.
    SkinSwitch* suiImageButton9 = nullptr; // Rec
    SkinSwitch* suiImageButton7 = nullptr; // Mute
    SkinSwitch* suiImageButton2 = nullptr; // Mono
    SkinLabel* Label12 = nullptr;          // "Mono"
    SkinLabel* Label18 = nullptr;          // "Mute"
    SkinLabel* Label19 = nullptr;          // "Settings"
    SkinLabel* Label22 = nullptr;          // "Recordings"
    SkinLabel* Label1 = nullptr;           // "Favorites"
    SkinLabel* Label17 = nullptr;          // "Recent"
    SkinLabel* Label20 = nullptr;          // "About"
    SkinEdit* FlatEdit1 = nullptr;
    SkinEdit* FlatEdit2 = nullptr;
    SkinEdit* FlatEdit3 = nullptr;
    SkinEdit* TntEdit2 = nullptr;
    SkinIconButton* Image2 = nullptr;
    SkinIconButton* Image3 = nullptr;
    SkinIconButton* Image5 = nullptr;
    SkinIconButton* Image6 = nullptr;
    SkinGrid* suiStringGrid1 = nullptr; // style
    SkinGrid* suiStringGrid2 = nullptr; // country
    SkinGrid* suiStringGrid3 = nullptr; // language
    SkinGrid* suiStringGrid4 = nullptr; // results
    GaugeBar* GaugeBar1 = nullptr;
    GaugeBar* GaugeBar2 = nullptr;
    GaugeBar* GaugeBar3 = nullptr;
    GaugeBar* GaugeBar4 = nullptr;
    SkinLabel* Label24 = nullptr; // count label
    QMenu* PopupMenu2 = nullptr;  // Favorites view
    QMenu* PopupMenu3 = nullptr;  // Recent view
    QMenu* PopupMenu4 = nullptr;  // catalogue view

protected:
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void FormCreate();
    void CreateControls();
    void ConnectControls();
    SkinGrid* CategoryGrid(TCategoryKind kind) const;
    GaugeBar* CategoryBar(TCategoryKind kind) const;
    SkinIconButton* CategoryIcon(TCategoryKind kind) const;
    SkinEdit* CategoryBox(TCategoryKind kind) const;
    void ShowCategoryList(TCategoryKind kind, ByteList entries);
    std::string CategoryChoice(TCategoryKind kind) const;
    // Rebuilds TResultList from the three current rows and the search box.
    void RunSearch();
    void SetView(TBrowseView view);
    void LaunchCopy(char kind, int index);
    TBrowseSource Source() const;

    QString programDir_;
    QString firstArgument_;
    TForm4* form4_ = nullptr;
    TResultFilter filter_;
    TCategoryLists categories_; // full lists, "All" first
    TCategoryLists shown_;      // what each list shows now
    TBrowseView view_ = TBrowseView::Catalogue;
    bool nonAscii_ = false;
};

} // namespace lumaro
