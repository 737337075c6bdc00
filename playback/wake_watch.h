#pragma once
// Wake-ups for a waiting reconnect: the system says the network is reachable
// again (QNetworkInformation), or the machine has resumed from suspend
// (logind's PrepareForSleep(false) on the system bus). Either is optional: a
// system without the backend or the bus just waits out the schedule.

#include <QDBusConnection>
#include <QNetworkInformation>
#include <QObject>

#include <functional>

namespace lumaro {

class TWakeWatch : public QObject {
    Q_OBJECT
public:
    // wake runs on the thread that makes the watch (the window's). bus: where
    // logind speaks, the system bus but for tests.
    explicit TWakeWatch(std::function<void()> wake, QDBusConnection bus = QDBusConnection::systemBus());

    // Whether each source could be watched.
    bool WatchesSleep() const { return watchesSleep_; }
    bool WatchesNetwork() const { return watchesNetwork_; }

    // A change of reachability as QNetworkInformation reports it: wakes when
    // it turns Online from anything else.
    void ReachabilityChanged(QNetworkInformation::Reachability reachability);

private slots:
    // logind, before a suspend (true) and after the resume (false).
    void PrepareForSleep(bool sleeping);

private:
    std::function<void()> wake_;
    bool watchesSleep_ = false;
    bool watchesNetwork_ = false;
    QNetworkInformation::Reachability reachability_ = QNetworkInformation::Reachability::Unknown;
};

} // namespace lumaro
