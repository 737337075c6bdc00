#include "playback/wake_watch.h"

namespace lumaro {

TWakeWatch::TWakeWatch(std::function<void()> wake, QDBusConnection bus) : wake_(std::move(wake)) {
    if (bus.isConnected())
        watchesSleep_ =
            bus.connect("org.freedesktop.login1", "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                        "PrepareForSleep", this, SLOT(PrepareForSleep(bool)));
    if (QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability)) {
        if (QNetworkInformation* info = QNetworkInformation::instance()) {
            watchesNetwork_ = true;
            reachability_ = info->reachability();
            connect(info, &QNetworkInformation::reachabilityChanged, this, &TWakeWatch::ReachabilityChanged);
        }
    }
}

void TWakeWatch::ReachabilityChanged(QNetworkInformation::Reachability reachability) {
    const bool back = reachability == QNetworkInformation::Reachability::Online &&
                      reachability_ != QNetworkInformation::Reachability::Online;
    reachability_ = reachability;
    if (back && wake_) wake_();
}

void TWakeWatch::PrepareForSleep(bool sleeping) {
    if (!sleeping && wake_) wake_();
}

} // namespace lumaro
