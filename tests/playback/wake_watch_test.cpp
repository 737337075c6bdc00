// The wake-ups of a waiting reconnect: logind's PrepareForSleep on a private
// bus run by dbus-daemon (the test owns the logind name there), and the
// network's reachability turning Online.

#include "playback/wake_watch.h"
#include "tests/support/private_bus.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QTest>
#include <gtest/gtest.h>

using namespace lumaro;

namespace {

using test_support::PrivateBus;

void SendPrepareForSleep(QDBusConnection& from, bool sleeping) {
    QDBusMessage signal = QDBusMessage::createSignal("/org/freedesktop/login1",
                                                     "org.freedesktop.login1.Manager", "PrepareForSleep");
    signal << sleeping;
    ASSERT_TRUE(from.send(signal));
}

TEST(WakeWatch, AResumeFromLogindWakesAndNothingElseDoes) {
    PrivateBus bus;
    ASSERT_TRUE(bus.Running()) << "dbus-daemon is needed (scripts/install-deps.sh)";
    QDBusConnection logind = bus.Connect("logind");
    ASSERT_TRUE(logind.isConnected());
    ASSERT_TRUE(logind.registerService("org.freedesktop.login1"));
    QDBusConnection other = bus.Connect("other");
    ASSERT_TRUE(other.isConnected());

    int wakes = 0;
    TWakeWatch watch([&] { ++wakes; }, bus.Connect("player"));
    ASSERT_TRUE(watch.WatchesSleep());

    // The same signal from anyone but logind, or logind going to sleep: no wake.
    SendPrepareForSleep(other, false);
    // A call's answer comes after the daemon has passed the signal on, so it
    // reaches the player before anything logind sends from now on.
    ASSERT_TRUE(other.interface()->isServiceRegistered("org.freedesktop.login1").value());
    SendPrepareForSleep(logind, true);
    // Back from sleep: a wake; the earlier signals were handled before it.
    SendPrepareForSleep(logind, false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return wakes > 0; }, 10000));
    EXPECT_EQ(wakes, 1);
}

TEST(WakeWatch, TheNetworkComingOnlineWakes) {
    using R = QNetworkInformation::Reachability;
    int wakes = 0;
    TWakeWatch watch([&] { ++wakes; }, QDBusConnection(QString()));
    EXPECT_FALSE(watch.WatchesSleep());
    const struct {
        R to;
        int wakes;
    } steps[] = {
        {R::Disconnected, 0}, {R::Online, 1}, {R::Online, 1},  {R::Local, 1},
        {R::Online, 2},       {R::Site, 2},   {R::Unknown, 2}, {R::Online, 3},
    };
    watch.ReachabilityChanged(R::Disconnected);
    for (const auto& s : steps) {
        watch.ReachabilityChanged(s.to);
        EXPECT_EQ(wakes, s.wakes) << static_cast<int>(s.to);
    }
}

} // namespace
