#include "tests/support/private_bus.h"

namespace lumaro::test_support {

PrivateBus::PrivateBus() {
    daemon_.start("dbus-daemon", {"--session", "--nofork", "--nopidfile", "--print-address=1"});
    if (!daemon_.waitForStarted(10000)) return;
    while (address_.isEmpty() && daemon_.state() == QProcess::Running) {
        if (!daemon_.canReadLine() && !daemon_.waitForReadyRead(10000)) break;
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
}

PrivateBus::~PrivateBus() {
    for (const QString& name : names_)
        QDBusConnection::disconnectFromBus(name);
    daemon_.kill();
    daemon_.waitForFinished(10000);
}

QDBusConnection PrivateBus::Connect(const QString& name) {
    names_.push_back(name);
    return QDBusConnection::connectToBus(address_, name);
}

} // namespace lumaro::test_support
