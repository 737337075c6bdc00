#pragma once
// The Settings dialog. Created once at start-up, right after the main window;
// its creation reads the hot key and the settings and chooses the start station.

#include <QDialog>
#include <QLabel>

namespace lumaro {

class TForm1;

class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(TForm1& form1, QWidget* parent = nullptr);

    // Chooses the start station from the command line or index.dat and, with
    // auto-play on, plays it. Returns false when a station argument named no
    // existing line, which ends the dialog's creation.
    bool SelectStartStation();

    // Option states, 0 off and 1 on.
    int AutoPlay = 0;

    QLabel* TntLabel1 = nullptr; // default-station field

private:
    void FormCreate();

    TForm1& form1_;
};

} // namespace lumaro
