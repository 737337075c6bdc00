#pragma once
// The Settings dialog. Created once at start-up, right after the main window;
// its creation chooses the start station.

#include "shell/settings_options.h"

#include <QDialog>
#include <QLabel>

namespace lumaro {

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

    QLabel* TntLabel1 = nullptr; // default-station field

private:
    void FormCreate();

    TAppSession& session_;
    TSettingsOptions options_;
};

} // namespace lumaro
