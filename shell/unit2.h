#pragma once
// The Settings dialog. Created once at start-up, right after the main window;
// its creation chooses the start station.

#include <QDialog>
#include <QLabel>

namespace lumaro {

class TAppSession;

class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(TAppSession& session, QWidget* parent = nullptr);

    QLabel* TntLabel1 = nullptr; // default-station field

private:
    void FormCreate();

    TAppSession& session_;
};

} // namespace lumaro
