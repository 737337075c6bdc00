#pragma once
// The About window: version and the number of stations, taken once at start-up.

#include <QDialog>
#include <QLabel>

namespace lumaro {

class TForm3 : public QDialog {
    Q_OBJECT
public:
    TForm3(size_t stationCount, QWidget* parent = nullptr);

    QLabel* StationCountLabel = nullptr;
};

} // namespace lumaro
