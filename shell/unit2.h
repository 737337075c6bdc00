#pragma once
// The Settings dialog: four on/off options, the default station, the
// recordings folder, the connection time-out and the global hot key. Created
// once at start-up, right after the main window; its creation chooses the
// start station. Borderless, 231 x 312, shown modally over the main window;
// it does not move. Every choice acts at once; OK alone applies the
// minimise-to-tray option and the hot key. Window thread.

#include "shell/default_station_menu.h"
#include "shell/settings_controls.h"
#include "shell/settings_options.h"

#include <QDialog>

#include <functional>

class QMenu;

namespace lumaro {

class SkinLabel;
class TAppSession;

class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(TAppSession& session, QWidget* parent = nullptr);

    // The option states, time-out and hot key the dialog holds; the rest of
    // the program reads and sets them here.
    TSettingsOptions& Options() { return options_; }
    const TSettingsOptions& Options() const { return options_; }

    // The "Settings" caption: the dialog, modal, over the main window.
    void ShowDialog();

    // The desktop's folder chooser: a folder, or empty when the user
    // cancelled. start is the folder it opens in.
    using TFolderChooser = std::function<QString(QWidget* parent, const QString& start)>;
    void SetFolderChooser(TFolderChooser chooser) { chooseFolder_ = std::move(chooser); }

    const TDefaultStation& DefaultStation() const { return defaultStation_; }

    TSettingsBackground* Image1 = nullptr;
    SkinLabel* Label19 = nullptr; // "Settings"
    // "  Start with Windows", "  Minimize to tray", "  Remember window
    // position", "  Auto play on start"; Label5 is the reserved one, never shown.
    TSettingsOption *Label2 = nullptr, *Label1 = nullptr, *Label4 = nullptr, *Label3 = nullptr,
                    *Label5 = nullptr;
    // "Default station (click to set)", "Recordings folder (click to set)",
    // "Connection timeout (seconds)", "Set Global HotKey to Show/Hide Lumaro Radio".
    SkinLabel *Label7 = nullptr, *Label8 = nullptr, *Label9 = nullptr, *Label10 = nullptr;
    TSettingsField* TntLabel1 = nullptr; // default-station field
    TSettingsField* TntLabel2 = nullptr; // recordings-folder field
    TTimeoutBox* suiSpinEdit1 = nullptr;
    THotKeyField* HotKey1 = nullptr;
    TSettingsButton* Label6 = nullptr; // "        OK"
    // The default-station menu and its two submenus.
    QMenu *TntPopupMenu1 = nullptr, *Favorites1 = nullptr, *Recent1 = nullptr;

    // Paints every option in the colour of its state.
    void RefreshOptionColours();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void MakeControls();
    void FormCreate();
    // The last creation step: the dialog sized to its picture and the dark
    // frames drawn on it. Runs once; a creation that ended early leaves it to
    // the first showing.
    void PrepareAppearance();
    void FormShow();
    void Label2MouseUp();
    void Label7MouseUp(QPoint globalPos);
    void Setcurrent1Click(const std::u16string& line);
    void Label8Click();
    void Label6Click();

    TAppSession& session_;
    TSettingsOptions options_;
    TDefaultStation defaultStation_;
    TFolderChooser chooseFolder_;
    bool appearancePrepared_ = false;
};

} // namespace lumaro
