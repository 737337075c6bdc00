#pragma once
// The Station Info window: every field of the selected station, shown
// modally over the main window and moved by its background.

#include "data/station_record.h"
#include "shell/window_mover.h"

#include <QDialog>

class QPlainTextEdit;

namespace lumaro {

class SkinBackground;
class SkinLabel;

class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);

    // Fills the window from the record and shows it modally; does nothing
    // for a record of fewer than two entries (no station yet).
    void ShowStationInfo(const TStationRecord& station);
    // The filling alone (tests, screenshots).
    bool FillFrom(const TStationRecord& station);

    SkinBackground* Image1 = nullptr;
    SkinLabel* Label19 = nullptr;       // title
    SkinLabel* Label7 = nullptr;        // "      Close"
    SkinLabel* TntLabel1 = nullptr;     // name
    SkinLabel* TntLabel3 = nullptr;     // style
    SkinLabel* TntLabel4 = nullptr;     // country
    SkinLabel* TntLabel5 = nullptr;     // language
    QPlainTextEdit* TntMemo2 = nullptr; // URLs
    QPlainTextEdit* TntMemo1 = nullptr; // description

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void Image1MouseDown() { mover_.BeginMove(); }
    void Label7Click() { reject(); }

    TWindowMover mover_{*this};
};

} // namespace lumaro
