#include "shell/unit3.h"

#include <QVBoxLayout>

namespace lumaro {

TForm3::TForm3(size_t stationCount, QWidget* parent) : QDialog(parent) {
    setWindowTitle("About");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Lumaro Radio", this));
    StationCountLabel = new QLabel(QString("Number of Stations: %1").arg(stationCount), this);
    layout->addWidget(StationCountLabel);
}

} // namespace lumaro
