#pragma once

#include <QApplication>

namespace lumaro {

// The application object: an exception that reaches the event loop ends the
// handler it arose in and is dropped; the program carries on.
class TLumaroApplication : public QApplication {
public:
    TLumaroApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override;
};

// The program's main routine: the start-up sequence, then the event loop.
int RunLumaroRadio(int argc, char** argv);

} // namespace lumaro
