#pragma once
// The About window: the program's name, version and the number of stations,
// counted once at start-up. Modal over the main window; any key, a click on
// its picture or on "Close" closes it.

#include <QDialog>

namespace lumaro {

class SkinBackground;
class SkinLabel;

class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(size_t stationCount, QWidget* parent = nullptr);

    // The "About" caption: centred over the main window, modal.
    void ShowAbout();

    SkinBackground* Image1 = nullptr;
    // The title strip and "Close"; the name, version and station count.
    SkinLabel *Label1 = nullptr, *Label7 = nullptr;
    SkinLabel *Label2 = nullptr, *Label3 = nullptr, *StationCountLabel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormShow();
};

} // namespace lumaro
