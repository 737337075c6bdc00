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
    // The title and "      Close".
    SkinLabel *Label19 = nullptr, *Label7 = nullptr;
    // Name, style, country and language; the URLs and the description.
    SkinLabel *TntLabel1 = nullptr, *TntLabel3 = nullptr, *TntLabel4 = nullptr, *TntLabel5 = nullptr;
    QPlainTextEdit *TntMemo2 = nullptr, *TntMemo1 = nullptr;

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
