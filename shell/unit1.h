#pragma once
// The main window: every control of the skinned 982 x 480 window by its name
// and every handler by its name, each handler a short forward to the part
// that owns the behaviour: the playback display, the effects panel, the
// recorder panel, the browser, the window mover, or a layer of the session.
// The session makes the window and outlives it. Window thread.

#include "shell/app_session.h"
#include "shell/browser.h"
#include "shell/effects_panel.h"
#include "shell/key_table.h"
#include "shell/playback_display.h"
#include "shell/recorder_panel.h"
#include "shell/window_mover.h"

#include <QWidget>

#include <memory>

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

class TForm1 : public QWidget {
    Q_OBJECT
public:
    // Makes the controls and the parts; FormCreate follows once the session's
    // layers exist.
    explicit TForm1(TAppSession& session, QWidget* parent = nullptr);
    ~TForm1() override;

    // The start-up steps of the window: the lines emptied, the result list
    // shown, the engine started, the category lists and the URL menu built.
    void FormCreate();
    // The close handler once the close question allowed it: timers off, then
    // the session's closing sequence. Safe to call twice.
    void FormClose();

    TPlaybackDisplay& Display() { return *display_; }
    TEffectsPanel& EffectsPanel() { return *effects_; }
    TRecorderPanel& RecorderPanel() { return *recorder_; }
    TBrowser& Browser() { return *browser_; }
    TWindowMover& Mover() { return mover_; }

    // Shared operations.
    void RefreshResultsView() { browser_->RefreshResultsView(); }
    void BuildCategoryLists() { browser_->BuildCategoryLists(); }
    // Starts the engine; on failure shows the message and ends the program.
    void InitAudioEngine() { display_->ShowEngineStart(session_.Player().InitAudioEngine(this)); }
    void BuildUrlMenu() { session_.Player().BuildUrlMenu(); }
    void StartConnectionWorker() { session_.Player().StartConnectionWorker(); }
    void ShowStationInfo() { browser_->ShowStationInfo(); }

    // The key table, for each key the window sees before the focused control.
    void FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    // Every activation of the window: the station argument's placement, else
    // the remembered position when that option is on.
    void FormActivate();

    // Shown, restored and in front; hidden with its task-bar entry, leaving
    // only the tray icon.
    void ShowMainWindow();
    void HideToTray();
    // The top-left corner of the window in its normal state, also while it
    // is minimised or hidden.
    QPoint NormalPosition() const { return normalPosition_; }

    // Results view
    void suiStringGrid4Click() { browser_->suiStringGrid4Click(); }
    void suiStringGrid4DblClick() { browser_->suiStringGrid4DblClick(); }
    void suiStringGrid4MouseDown(Qt::MouseButton button, QPoint pos) {
        browser_->suiStringGrid4MouseDown(button, pos);
    }
    void suiStringGrid4MouseUp(Qt::MouseButton button, QPoint pos) {
        browser_->suiStringGrid4MouseUp(button, pos);
    }
    void Label1MouseDown() { browser_->PressViewLabel(TBrowseView::Favorites); }
    void Label17MouseDown() { browser_->PressViewLabel(TBrowseView::Recent); }
    void GaugeBar1Change(GaugeBar* bar) { browser_->GaugeBar1Change(bar); }

    // Category lists, filter and search
    void suiStringGrid1DblClick() { browser_->ChooseCategories(); }
    void FlatEdit1Change(const QString& text) { browser_->NarrowCategoryList(TCategoryKind::Style, text); }
    void FlatEdit2Change(const QString& text) { browser_->NarrowCategoryList(TCategoryKind::Country, text); }
    void FlatEdit3Change(const QString& text) { browser_->NarrowCategoryList(TCategoryKind::Language, text); }
    void TntEdit2Change() { browser_->TntEdit2Change(); }
    void Image2Click() { browser_->ClearCategory(TCategoryKind::Style); }
    void Image3Click() { browser_->ClearCategory(TCategoryKind::Country); }
    void Image5Click() { browser_->ClearCategory(TCategoryKind::Language); }
    void Image6Click() { browser_->Image6Click(); }

    // Context menu entries
    void AddtoFavorites1Click() { browser_->AddSelectedToFavorites(); }
    void DeletefromFavorites1Click() { browser_->RemoveSelectedEntry(session_.Favorites()); }
    void EmptyFavoriteslist1Click() { browser_->EmptyPersonalList(session_.Favorites()); }
    void Removefromlist1Click() { browser_->RemoveSelectedEntry(session_.Recent()); }
    void EmptyRecentlist1Click() { browser_->EmptyPersonalList(session_.Recent()); }
    void Stationinfo1Click() { ShowStationInfo(); }
    void Stationinfo2Click() { ShowStationInfo(); }
    void Addtofavorites2Click() { ShowStationInfo(); }
    void TntLabel1Click() { ShowStationInfo(); }
    void Newwindow1Click() { browser_->OpenInNewWindow(TBrowseView::Catalogue); }
    void Openinnewwindow1Click() { browser_->OpenInNewWindow(TBrowseView::Recent); }
    void Openinnewwindow2Click() { browser_->OpenInNewWindow(TBrowseView::Favorites); }

    // Window, switches and knobs.
    void DIBImage1MouseDown() { mover_.BeginMove(); }
    void suiImageButton5Click() { close(); } // Close: asks first while recording
    void suiImageButton6Click();             // Minimize
    void suiImageButton8Click() { session_.Player().suiImageButton8Click(); }     // Play/Stop
    void suiImageButton2Click() { session_.Effects().suiImageButton2Click(); }    // Mono
    void suiImageButton3MouseUp() { session_.Player().suiImageButton3MouseUp(); } // URL menu, any button
    void suiImageButton4Click() { browser_->AddCurrentStationToFavorites(); }     // Add to Fav.
    void suiImageButton7Click() { session_.Effects().suiImageButton7Click(); }    // Mute
    void suiImageButton9Click() { session_.Recorder().suiImageButton9Click(); }   // Rec
    void Label19Click();                                                          // Settings
    void Label20Click();                                                          // About
    // The global hot key: nothing while Settings is open; hides the window
    // into the tray when the program is the active one, else shows it.
    void HotKeyManager1HotKeyPressed();
    // The tray icon: a left click, and the entries of its menu.
    void CoolTrayIcon1Click();
    void About1Click();
    void Showmainwindow1Click() { CoolTrayIcon1Click(); }
    void Minimisetotray1Click() { suiImageButton6Click(); }
    void Closelumaroradio1Click() { suiImageButton5Click(); }
    void Label22Click() { session_.Recorder().Label22Click(); } // Recordings
    void Timer1Timer() { session_.Player().Timer1Timer(); }
    void Timer2Timer() { browser_->Timer2Timer(); }
    void TntLabel1MouseEnter() { browser_->TntLabel1MouseEnter(); }
    void TntLabel1MouseLeave() { browser_->TntLabel1MouseLeave(); }

    // Controls, by the names the rest of the program knows them by, grouped by
    // the part that uses them.
    // The window: its background, Close and Minimize.
    SkinBackground* DIBImage1 = nullptr;
    SkinSwitch *suiImageButton5 = nullptr, *suiImageButton6 = nullptr;
    // The display: stream title, status, bit rate, "recording"; the level
    // meter; Play/Stop, URL and its "URL (n)".
    SkinLabel *TntLabel2 = nullptr, *TntLabel3 = nullptr, *Label5 = nullptr, *Label23 = nullptr;
    LevelMeter* DIBKnob1 = nullptr;
    SkinSwitch *suiImageButton8 = nullptr, *suiImageButton3 = nullptr;
    SkinLabel* Label13 = nullptr;
    QMenu* PopupMenu1 = nullptr; // the URL menu
    // The effects: the knobs Bass, Middle, Treble, Volume, Reverb and Pan with
    // their captions; Mute and Mono with theirs.
    SkinKnob *DIBKnob2 = nullptr, *DIBKnob3 = nullptr, *DIBKnob4 = nullptr, *DIBKnob5 = nullptr,
             *DIBKnob6 = nullptr, *DIBKnob7 = nullptr;
    SkinLabel *Label2 = nullptr, *Label6 = nullptr, *Label7 = nullptr, *Label10 = nullptr, *Label16 = nullptr,
              *Label9 = nullptr;
    SkinSwitch *suiImageButton7 = nullptr, *suiImageButton2 = nullptr;
    SkinLabel *Label18 = nullptr, *Label12 = nullptr;
    // The recorder: Rec and "Recordings".
    SkinSwitch* suiImageButton9 = nullptr;
    SkinLabel* Label22 = nullptr;
    // The browser: the information line; "Add to Fav."; "Favorites" and
    // "Recent"; the filter boxes of style, country and language, then the
    // search box, each with its icon; the lists of style, country, language
    // and the results, each with its bar; the count label; the menus of the
    // Favorites, Recent and catalogue views.
    SkinLabel* TntLabel1 = nullptr;
    SkinSwitch* suiImageButton4 = nullptr;
    SkinLabel *Label1 = nullptr, *Label17 = nullptr;
    SkinEdit *FlatEdit1 = nullptr, *FlatEdit2 = nullptr, *FlatEdit3 = nullptr, *TntEdit2 = nullptr;
    SkinIconButton *Image2 = nullptr, *Image3 = nullptr, *Image5 = nullptr, *Image6 = nullptr;
    SkinGrid *suiStringGrid1 = nullptr, *suiStringGrid2 = nullptr, *suiStringGrid3 = nullptr,
             *suiStringGrid4 = nullptr;
    GaugeBar *GaugeBar1 = nullptr, *GaugeBar2 = nullptr, *GaugeBar3 = nullptr, *GaugeBar4 = nullptr;
    SkinLabel* Label24 = nullptr;
    QMenu *PopupMenu2 = nullptr, *PopupMenu3 = nullptr, *PopupMenu4 = nullptr;
    // The tray icon's menu.
    QMenu* PopupMenu5 = nullptr;
    // "Settings" and "About".
    SkinLabel *Label19 = nullptr, *Label20 = nullptr;
    // Every 70 ms: meter, status, recording blink; every 60 ms while the
    // information line scrolls.
    QTimer *Timer1 = nullptr, *Timer2 = nullptr;

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BindControls();
    void CreateMenus();
    void ConnectControls();

    TAppSession& session_;
    TWindowMover mover_;
    std::unique_ptr<TPlaybackDisplay> display_;
    std::unique_ptr<TEffectsPanel> effects_;
    std::unique_ptr<TRecorderPanel> recorder_;
    std::unique_ptr<TBrowser> browser_;
    QPoint normalPosition_;
    TKeyPressFilter keyPresses_;
    bool shown_ = false;
    bool restoring_ = false; // hidden while minimised, not yet shown whole again
    bool closed_ = false;
};

} // namespace lumaro
