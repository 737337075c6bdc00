#pragma once
// The main window: owns the catalogue and its copies, the personal lists, the
// result list, the audio engine and the playback, effect and recording layers
// for the life of the process, and holds every control of the skinned
// 982 x 480 window. It is the view those layers talk to; all of that runs on
// the window's thread.

#include "browse/category_lists.h"
#include "browse/result_filter.h"
#include "browse/results_view.h"
#include "data/personal_lists.h"
#include "data/station_catalogue.h"
#include "effects/effect_chain.h"
#include "engine/audio_library.h"
#include "playback/playback_controller.h"
#include "playback/playback_view.h"
#include "playback/player_state.h"
#include "recording/recorder.h"

#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class QMenu;
class QTimer;

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

class TForm1 : public QWidget, public TPlaybackView, public TEffectView, public TRecorderView {
    Q_OBJECT
public:
    // programDir is the directory of the executable; it becomes the current
    // directory. firstArgument is the first command-line argument, or empty.
    // engine: the audio engine to play through; empty takes the real one.
    TForm1(const QString& programDir, const QString& firstArgument, QWidget* parent = nullptr,
           std::unique_ptr<engine::AudioLibrary> engine = {});
    ~TForm1() override;

    // Shared operations.
    void RefreshResultsView() override;
    void BuildCategoryLists();
    // Starts the engine; on failure shows the message and ends the program.
    void InitAudioEngine();
    void BuildUrlMenu();
    void StartConnectionWorker();
    void suiImageButton8Click(); // Play/Stop
    void ShowStationInfo();

    // The playback layers. Null once the window has closed.
    TPlaybackController* Player() { return controller_.get(); }
    TEffectChain* Effects() { return chain_.get(); }
    TRecorder* Recorder() { return recorder_.get(); }
    engine::AudioLibrary* Engine() { return engine_.get(); }
    // The one playback state (the controller's); valid until the window closes.
    TPlayerState& PlayerState() { return controller_->State(); }

    // The key table's sound keys (volume and F5), by Windows virtual-key code.
    // The key still reaches the focused control.
    void FormKeyDown(int virtualKey);
    // Connection time-out in seconds, as the Settings dialog holds it.
    void SetTimeoutSeconds(int seconds) { timeoutSeconds_ = seconds; }

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
    void AddtoFavorites1Click();
    void DeletefromFavorites1Click();
    void EmptyFavoriteslist1Click();
    void Removefromlist1Click();
    void EmptyRecentlist1Click();
    void Stationinfo1Click() { ShowStationInfo(); }
    void Stationinfo2Click() { ShowStationInfo(); }
    void Addtofavorites2Click() { ShowStationInfo(); }
    void TntLabel1Click() { ShowStationInfo(); }
    void Newwindow1Click();
    void Openinnewwindow1Click();
    void Openinnewwindow2Click();

    // Window, switches and knobs.
    void DIBImage1MouseDown();
    void suiImageButton5Click();   // close
    void suiImageButton6Click();   // minimise
    void suiImageButton2Click();   // Mono
    void suiImageButton3MouseUp(); // URL menu, any mouse button
    void suiImageButton4Click();   // Add to Fav.
    void suiImageButton7Click();   // Mute
    void suiImageButton9Click();   // Rec
    void Label19Click() {}         // Settings
    void Label20Click() {}         // About
    void Label22Click();           // Recordings
    void Timer1Timer();
    void Timer2Timer();
    void TntLabel1MouseEnter();
    void TntLabel1MouseLeave();

    // TPlaybackView
    bool ShowsFavorites() const override { return view_ == TBrowseView::Favorites; }
    bool ShowsRecent() const override { return view_ == TBrowseView::Recent; }
    void SelectionAction() override { suiStringGrid4Click(); }
    void SetStatusText(const std::u16string& text) override;
    void SetTitleText(const std::u16string& text) override;
    void SetBitrateText(const std::u16string& text) override;
    void SetPlayPicture(bool active) override;
    void SetLevelMeter(int position) override;
    void ShowUrlMenu(const TUrlMenu& menu) override;
    void PopupUrlMenu() override;
    bool RecordingRuns() const override;
    void StopRecording() override;
    void ToggleRecordingLabel() override;
    // Serves the playback controller and the recorder alike.
    bool AskStopRecording() override;
    void ShowMessage(const std::u16string& text) override;
    int TimeoutSeconds() const override { return timeoutSeconds_; }
    void ApplyEffectChain(engine::HSTREAM stream) override;
    std::u16string ClipboardText() const override;
    void SetClipboardText(const std::u16string& text) override;

    // TEffectView
    void ShowKnobPosition(TEffectKnob knob, int position) override;
    void ShowMonoSwitch(bool on) override;
    void ShowMuteSwitch(bool on) override;

    // TRecorderView
    std::u16string TitleText() const override;
    std::u16string StatusText() const override;
    std::string RecordingsFolder() const override { return RecordingsFolderPath; }
    void SetRecPicture(bool recording) override;
    void SetRecordingLabelVisible(bool visible) override;
    void OpenFolder(const std::string& path) override;

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
    TSelectedStation SelectedStation;
    ByteList StartArgumentParts;
    std::string RecordingsFolderPath; // absolute, UTF-8

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
    SkinKnob* DIBKnob2 = nullptr;          // Bass
    SkinKnob* DIBKnob3 = nullptr;          // Middle
    SkinKnob* DIBKnob4 = nullptr;          // Treble
    SkinKnob* DIBKnob5 = nullptr;          // Volume
    SkinKnob* DIBKnob6 = nullptr;          // Reverb
    SkinKnob* DIBKnob7 = nullptr;          // Pan
    SkinLabel* Label2 = nullptr;           // "Bass"
    SkinLabel* Label6 = nullptr;           // "Middle"
    SkinLabel* Label7 = nullptr;           // "Treble"
    SkinLabel* Label9 = nullptr;           // "Pan"
    SkinLabel* Label10 = nullptr;          // "Volume"
    SkinLabel* Label16 = nullptr;          // "Reverb"
    SkinSwitch* suiImageButton8 = nullptr; // Play/Stop
    SkinSwitch* suiImageButton3 = nullptr; // URL
    SkinLabel* Label13 = nullptr;          // "URL (n)"
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
    QMenu* PopupMenu1 = nullptr;  // URL menu
    QMenu* PopupMenu2 = nullptr;  // Favorites view
    QMenu* PopupMenu3 = nullptr;  // Recent view
    QMenu* PopupMenu4 = nullptr;  // catalogue view
    QTimer* Timer1 = nullptr;     // every 70 ms: meter, status, recording blink
    QTimer* Timer2 = nullptr;     // every 60 ms while scrolling the information line

protected:
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    // The close handler once the close question allowed it: timers off, engine
    // released, layers torn down. Safe to call twice.
    void FormClose();
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
    int timeoutSeconds_ = 5;

    // Declared in the order they are made; FormClose takes them apart in the
    // reverse order.
    std::unique_ptr<engine::AudioLibrary> engine_;
    std::unique_ptr<TPlaybackController> controller_;
    std::unique_ptr<TEffectChain> chain_;
    std::unique_ptr<TRecorder> recorder_;
};

} // namespace lumaro
