#pragma once
// The Station Info window: every field of the selected station.

#include <QDialog>

namespace lumaro {

class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);
};

} // namespace lumaro
