#pragma once
// A private D-Bus bus run by dbus-daemon for the length of a test, so D-Bus
// features meet real clients and servers without the user's session.

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace lumaro::test_support {

class PrivateBus {
public:
    // Starts dbus-daemon with a session bus's policy.
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool Running() const { return !address_.isEmpty(); }
    const QString& Address() const { return address_; }
    // A new connection of its own to the bus, closed with the bus.
    QDBusConnection Connect(const QString& name);

private:
    QProcess daemon_;
    QString address_;
    QStringList names_;
};

} // namespace lumaro::test_support
