// The player on the desktop's bus, on a private bus of dbus-daemon's: MPRIS 2
// as a media-key daemon or playerctl sees it (properties, their change
// signals, the methods), and the title notifications against a stand-in
// notification server.

#include "shell/mpris_service.h"
#include "shell/title_notifier.h"
#include "tests/support/private_bus.h"
#include "tests/window/window_fixture.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>

#include <cmath>
#include <limits>

namespace lumaro::window_test {
namespace {

using test_support::PrivateBus;

// One private bus for the process: the program's session bus (Qt keeps the
// first connection it makes), and a connection for the clients.
class BusEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        bus_ = std::make_unique<PrivateBus>();
        ASSERT_TRUE(bus_->Running()) << "dbus-daemon is needed (scripts/install-deps.sh)";
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus_->Address().toUtf8());
        client_ = bus_->Connect("client");
    }
    void TearDown() override { bus_.reset(); }
    static PrivateBus& Bus() { return *bus_; }
    static QDBusConnection& Client() { return client_; }

private:
    static inline std::unique_ptr<PrivateBus> bus_;
    static inline QDBusConnection client_{QString()};
};
[[maybe_unused]] ::testing::Environment* const kBus = ::testing::AddGlobalTestEnvironment(new BusEnvironment);

// A call from another connection, answered while the window's thread runs on.
QDBusMessage Await(QDBusConnection& from, const QDBusMessage& call) {
    QDBusPendingCall pending = from.asyncCall(call, kWait);
    // An unfinished call's reply is an error message, which the callers check.
    (void)QTest::qWaitFor([&] { return pending.isFinished(); }, kWait);
    return pending.reply();
}

QDBusMessage MprisCall(const QString& interface, const QString& method, const QVariantList& args = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(kMprisServiceName, kMprisPath, interface, method);
    call.setArguments(args);
    return Await(BusEnvironment::Client(), call);
}

QVariant Property(const char* interface, const char* name) {
    const QDBusMessage reply = MprisCall("org.freedesktop.DBus.Properties", "Get",
                                         {QString::fromLatin1(interface), QString::fromLatin1(name)});
    if (reply.type() != QDBusMessage::ReplyMessage) return {};
    return reply.arguments().value(0).value<QDBusVariant>().variant();
}

QVariantMap AsMap(const QVariant& value) {
    return value.canConvert<QDBusArgument>() ? qdbus_cast<QVariantMap>(value) : value.toMap();
}

QVariantMap Metadata() {
    return AsMap(Property(kMprisPlayerInterface, "Metadata"));
}

bool SetPlayerProperty(const char* name, const QVariant& value) {
    return MprisCall("org.freedesktop.DBus.Properties", "Set",
                     {QString::fromLatin1(kMprisPlayerInterface), QString::fromLatin1(name),
                      QVariant::fromValue(QDBusVariant(value))})
               .type() == QDBusMessage::ReplyMessage;
}

void PlayerMethod(const char* method) {
    ASSERT_EQ(MprisCall(kMprisPlayerInterface, QString::fromLatin1(method)).type(),
              QDBusMessage::ReplyMessage)
        << method;
}

// The player's PropertiesChanged signals as a client receives them.
class PropertiesSpy : public QObject {
    Q_OBJECT
public:
    PropertiesSpy() {
        connected_ = BusEnvironment::Client().connect(kMprisServiceName, kMprisPath,
                                                      "org.freedesktop.DBus.Properties", "PropertiesChanged",
                                                      this, SLOT(Changed(QString, QVariantMap, QStringList)));
    }
    bool Connected() const { return connected_; }
    // The value of the next change of name not yet taken; invalid on time-out.
    QVariant Next(const QString& name) {
        QVariant value;
        (void)QTest::qWaitFor(
            [&] {
                for (; taken_ < seen_.size(); ++taken_) {
                    if (seen_[taken_].contains(name)) {
                        value = seen_[taken_++].value(name);
                        return true;
                    }
                }
                return false;
            },
            kWait);
        return value;
    }
    // Changes of name received so far.
    int Count(const QString& name) const {
        return int(std::count_if(seen_.begin(), seen_.end(),
                                 [&](const QVariantMap& m) { return m.contains(name); }));
    }

public slots:
    void Changed(const QString& interface, const QVariantMap& changed, const QStringList&) {
        if (interface == QLatin1String(kMprisPlayerInterface)) seen_.push_back(changed);
    }

private:
    std::vector<QVariantMap> seen_;
    size_t taken_ = 0;
    bool connected_ = false;
};

TEST(MprisTrack, AStreamTitleSplitsAtItsFirstArtistSeparator) {
    struct Case {
        const char* StreamTitle;
        TMprisTrack Track;
    };
    const Case cases[] = {
        {"Nina Simone - Feeling Good", {"Feeling Good", "Nina Simone", "Station"}},
        {"A - B - C", {"B - C", "A", "Station"}},              // the rest is the title
        {"Jazz-Funk Hour", {"Jazz-Funk Hour", "Station", ""}}, // no spaced dash
        {" - Untitled", {" - Untitled", "Station", ""}},       // no artist before it
        {"Artist - ", {"Artist - ", "Station", ""}},           // no title after it
    };
    for (const Case& c : cases) {
        const TMprisTrack track = TrackFromStreamTitle("Station", c.StreamTitle);
        EXPECT_EQ(track.Title, c.Track.Title) << c.StreamTitle;
        EXPECT_EQ(track.Artist, c.Track.Artist) << c.StreamTitle;
        EXPECT_EQ(track.Album, c.Track.Album) << c.StreamTitle;
    }
}

class Mpris : public WindowWiring {
protected:
    void SetUp() override {
        WindowWiring::SetUp();
        ASSERT_EQ(session_->Mpris().ServiceName(), QString::fromLatin1(kMprisServiceName));
        ASSERT_TRUE(spy_.Connected());
    }
    // Plays name and waits until its stream is on the air; its handle.
    DWORD Play(const char* name, const std::string& url) {
        DoubleClick(name);
        WaitForAttempt();
        return fake_->HandleFor(url);
    }
    void ShowTitle(DWORD stream, const QString& title) {
        fake_->FireMeta(stream, "StreamTitle='" + title.toStdString() + "';");
        EXPECT_TRUE(QTest::qWaitFor([&] { return form_->TntLabel2->text() == title; }, kWait))
            << title.toStdString();
    }

    PropertiesSpy spy_;
};

TEST_F(Mpris, NamesTheApplicationAndALiveStream) {
    EXPECT_EQ(Property(kMprisRootInterface, "Identity").toString(), "Lumaro Radio");
    EXPECT_EQ(Property(kMprisRootInterface, "DesktopEntry").toString(), "org.lumaro.LumaroRadio");
    EXPECT_TRUE(Property(kMprisRootInterface, "CanQuit").toBool());
    EXPECT_TRUE(Property(kMprisRootInterface, "CanRaise").toBool());
    EXPECT_EQ(Property(kMprisPlayerInterface, "PlaybackStatus").toString(), "Stopped");
    EXPECT_FALSE(Property(kMprisPlayerInterface, "CanSeek").toBool());
    EXPECT_TRUE(Property(kMprisPlayerInterface, "CanControl").toBool());
    EXPECT_EQ(Property(kMprisPlayerInterface, "Position").toLongLong(), 0);
    EXPECT_TRUE(Metadata().isEmpty());
    EXPECT_DOUBLE_EQ(Property(kMprisPlayerInterface, "Volume").toDouble(), form_->DIBKnob5->Value() / 100.0);
    // Clients learn that Position is never signalled: they ask for it when they need it.
    const QString xml =
        MprisCall("org.freedesktop.DBus.Introspectable", "Introspect").arguments().value(0).toString();
    EXPECT_TRUE(xml.contains("<property name=\"Position\" type=\"x\" access=\"read\"><annotation "
                             "name=\"org.freedesktop.DBus.Property.EmitsChangedSignal\" value=\"false\"/>"))
        << xml.toStdString();
    EXPECT_TRUE(xml.contains("<property name=\"Metadata\" type=\"a{sv}\" access=\"read\">"));
    EXPECT_TRUE(xml.contains("<interface name=\"org.mpris.MediaPlayer2\">"));
}

TEST_F(Mpris, PlayTitlesAndStopAreSignalled) {
    const DWORD stream = Play("One URL", "http://one.example/live");
    EXPECT_EQ(spy_.Next("PlaybackStatus").toString(), "Playing");

    ShowTitle(stream, "Miles Davis - So What");
    QVariantMap first = AsMap(spy_.Next("Metadata"));
    EXPECT_EQ(first.value("xesam:title").toString(), "So What");
    EXPECT_EQ(first.value("xesam:artist").toStringList(), QStringList{"Miles Davis"});
    EXPECT_EQ(first.value("xesam:album").toString(), "One URL");
    EXPECT_FALSE(first.contains("mpris:length"));
    EXPECT_FALSE(first.contains("mpris:artUrl"));
    EXPECT_EQ(Metadata(), first);

    // A title without an artist keeps the station as its artist, under a new track id.
    ShowTitle(stream, "News at nine");
    const QVariantMap second = AsMap(spy_.Next("Metadata"));
    EXPECT_EQ(second.value("xesam:title").toString(), "News at nine");
    EXPECT_EQ(second.value("xesam:artist").toStringList(), QStringList{"One URL"});
    EXPECT_FALSE(second.contains("xesam:album"));
    EXPECT_NE(second.value("mpris:trackid").value<QDBusObjectPath>().path(),
              first.value("mpris:trackid").value<QDBusObjectPath>().path());
    EXPECT_FALSE(second.value("mpris:trackid").value<QDBusObjectPath>().path().startsWith("/org/mpris/"));

    PlayerMethod("Stop");
    EXPECT_EQ(spy_.Next("PlaybackStatus").toString(), "Stopped");
    EXPECT_FALSE(session_->PlayerState().PlayActive);
    EXPECT_TRUE(fake_->IsFreed(stream));
    PlayerMethod("PlayPause");
    EXPECT_EQ(spy_.Next("PlaybackStatus").toString(), "Playing");
    WaitForAttempt();
    // The new attempt empties the title line, and the track goes with it.
    EXPECT_TRUE(AsMap(spy_.Next("Metadata")).isEmpty());
    PlayerMethod("Pause"); // a live stream stops
    EXPECT_EQ(spy_.Next("PlaybackStatus").toString(), "Stopped");
    PlayerMethod("Play");
    EXPECT_EQ(spy_.Next("PlaybackStatus").toString(), "Playing");
    WaitForAttempt();
    PlayerMethod("Play"); // already playing: no change
    PlayerMethod("Stop");
    EXPECT_EQ(spy_.Next("PlaybackStatus").toString(), "Stopped");
    EXPECT_EQ(spy_.Count("PlaybackStatus"), 6);
}

TEST_F(Mpris, TheSameTitleReadAgainKeepsItsTrackAndAnotherStationClearsIt) {
    const DWORD stream = Play("One URL", "http://one.example/live");
    ShowTitle(stream, "Song");
    const QVariantMap first = AsMap(spy_.Next("Metadata"));
    ASSERT_FALSE(first.isEmpty());
    ShowTitle(stream, "Song");
    ShowTitle(stream, "Other");
    EXPECT_EQ(AsMap(spy_.Next("Metadata")).value("xesam:title").toString(), "Other"); // no "Song" between

    Play("Two URLs", "http://a.example/1");
    EXPECT_TRUE(AsMap(spy_.Next("Metadata")).isEmpty());
    EXPECT_TRUE(Metadata().isEmpty());
}

TEST_F(Mpris, AFailureStopsWithoutATrack) {
    FakeAudioLibrary::Script failing;
    failing.openFails = true;
    fake_->SetScript("http://one.example/live", failing);
    DoubleClick("One URL"); // one URL: no retry, the failure shows at once
    EXPECT_EQ(spy_.Next("PlaybackStatus").toString(), "Playing");
    EXPECT_EQ(spy_.Next("PlaybackStatus").toString(), "Stopped");
    WaitForAttempt();
    EXPECT_FALSE(form_->TntLabel2->text().isEmpty()); // the failure text
    EXPECT_TRUE(Metadata().isEmpty());
}

TEST_F(Mpris, VolumeFollowsTheKnobBothWays) {
    struct Case {
        double Set;
        int Knob; // -1: unchanged
    };
    const Case cases[] = {{0.5, 50},
                          {0.333, 33},
                          {1e9, 100},
                          {-3.0, 0},
                          {std::numeric_limits<double>::quiet_NaN(), -1},
                          {std::numeric_limits<double>::infinity(), 100}};
    for (const Case& c : cases) {
        const int before = form_->DIBKnob5->Value();
        EXPECT_TRUE(SetPlayerProperty("Volume", c.Set)) << c.Set;
        const int expected = c.Knob < 0 ? before : c.Knob;
        EXPECT_EQ(form_->DIBKnob5->Value(), expected) << c.Set;
        if (expected != before) {
            EXPECT_DOUBLE_EQ(spy_.Next("Volume").toDouble(), expected / 100.0) << c.Set;
        }
        EXPECT_DOUBLE_EQ(Property(kMprisPlayerInterface, "Volume").toDouble(), expected / 100.0) << c.Set;
    }
    // The knob turned by the user or by a key reaches the desktop.
    form_->EffectsPanel().TurnKnob(TEffectKnob::Volume, 40);
    form_->FormKeyDown(Qt::Key_F12, Qt::NoModifier);
    EXPECT_DOUBLE_EQ(spy_.Next("Volume").toDouble(), 0.40);
    EXPECT_DOUBLE_EQ(spy_.Next("Volume").toDouble(), 0.43);
    // Not a number at all: refused, nothing moves.
    EXPECT_FALSE(SetPlayerProperty("Volume", QStringLiteral("loud")));
    EXPECT_EQ(form_->DIBKnob5->Value(), 43);
}

TEST_F(Mpris, NextAndPreviousPlayTheNeighbouringRows) {
    SkinGrid& grid = *form_->suiStringGrid4;
    ASSERT_EQ(grid.RowCount(), 2);
    const std::u16string rowLines[] = {grid.RowText(0) == "One URL" ? kOneUrl : kTwoUrls,
                                       grid.RowText(0) == "One URL" ? kTwoUrls : kOneUrl};
    DoubleClick(grid.RowText(0).toUtf8().constData());
    WaitForAttempt();
    PlayerMethod("Next");
    EXPECT_TRUE(QTest::qWaitFor([&] { return session_->PlayerState().StationLine == rowLines[1]; }, kWait));
    WaitForAttempt();
    EXPECT_EQ(grid.CurrentRow(), 1);
    PlayerMethod("Next"); // the last row: nothing beyond it
    PlayerMethod("Previous");
    EXPECT_TRUE(QTest::qWaitFor([&] { return session_->PlayerState().StationLine == rowLines[0]; }, kWait));
    WaitForAttempt();
    PlayerMethod("Previous"); // the first row
    PlayerMethod("Stop");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !session_->PlayerState().PlayActive; }, kWait));
    EXPECT_EQ(session_->PlayerState().StationLine, rowLines[0]);
    EXPECT_EQ(Calls("BASS_StreamCreateURL"), 3u);
}

// Recent puts each station started on its top.
class MprisRecent : public Mpris {
protected:
    void PrepareProgramDir() override {
        TScrambledListFile::SaveWideList("rec.dat", {kOneUrl, kTwoUrls, kClip, kB}, kListKey);
    }
    void StepTo(const char* method, const std::u16string& line) {
        PlayerMethod(method);
        EXPECT_TRUE(QTest::qWaitFor([&] { return session_->PlayerState().StationLine == line; }, kWait))
            << method << " to " << QString::fromStdU16String(line).toStdString();
        WaitForAttempt();
    }
    const std::u16string kClip = u"Clip\t-\tNews\tFrance\tFrench\thttp://clip.example/x";
    const std::u16string kB = u"B\t-\tNews\tFrance\tFrench\thttp://b.example/2";
};

TEST_F(MprisRecent, StepsWalkTheListAsItStoodAndNotRoundItsTop) {
    form_->Label17MouseDown();
    ASSERT_EQ(form_->suiStringGrid4->RowCount(), 4);
    DoubleClick("One URL");
    WaitForAttempt();
    StepTo("Next", kTwoUrls);
    StepTo("Next", kClip);
    StepTo("Next", kB);
    EXPECT_EQ(form_->suiStringGrid4->RowText(0), "B");
    StepTo("Previous", kClip);
    StepTo("Previous", kTwoUrls);
    StepTo("Previous", kOneUrl);
    PlayerMethod("Previous"); // the first of the list as it stood: nothing before it
    StepTo("Next", kTwoUrls);
    EXPECT_EQ(Calls("BASS_StreamCreateURL"), 8u);
}

TEST_F(Mpris, CallsWithNoStationDoNothingAndAskNothing) {
    for (const char* method : {"Play", "PlayPause", "Pause", "Stop"})
        PlayerMethod(method);
    const QDBusMessage seek = MprisCall(kMprisPlayerInterface, "Seek", {qlonglong(1000000)});
    EXPECT_EQ(seek.type(), QDBusMessage::ReplyMessage);
    // Calls answered in order: by now every earlier one has run.
    PlayerMethod("Stop");
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(session_->PlayerState().PlayActive);
    EXPECT_EQ(Calls("BASS_StreamCreateURL"), 0u);
    EXPECT_EQ(spy_.Count("PlaybackStatus"), 0);
}

TEST_F(Mpris, RaiseShowsTheWindowHiddenInTheTray) {
    form_->HideToTray();
    ASSERT_FALSE(form_->isVisible());
    ASSERT_EQ(MprisCall(kMprisRootInterface, "Raise").type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form_->isVisible(); }, kWait));
}

TEST_F(Mpris, ASecondProcessTakesAnInstanceName) {
    PrivateBus& bus = BusEnvironment::Bus();
    const QString instance = QStringLiteral("%1.instance%2")
                                 .arg(QLatin1String(kMprisServiceName))
                                 .arg(QCoreApplication::applicationPid());
    {
        TMprisService second(*session_, bus.Connect("second"));
        EXPECT_EQ(second.ServiceName(), instance);
        EXPECT_TRUE(BusEnvironment::Client().interface()->isServiceRegistered(instance).value());
    }
    // No bus at all: nothing offered, nothing fails.
    TMprisService none(*session_, QDBusConnection(QStringLiteral("no such connection")));
    EXPECT_TRUE(none.ServiceName().isEmpty());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return !BusEnvironment::Client().interface()->isServiceRegistered(instance).value(); }, kWait));
}

// A stand-in for the desktop's notification server: records every Notify.
class FakeNotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Notice {
        QString AppName;
        uint ReplacesId;
        QString AppIcon, Summary, Body;
        uint Id;
    };
    explicit FakeNotificationServer(QStringList capabilities, const QString& connection)
        : capabilities_(std::move(capabilities)), bus_(BusEnvironment::Bus().Connect(connection)) {
        registered_ =
            bus_.registerObject("/org/freedesktop/Notifications", this, QDBusConnection::ExportAllSlots) &&
            bus_.registerService("org.freedesktop.Notifications");
    }
    ~FakeNotificationServer() override {
        bus_.unregisterService("org.freedesktop.Notifications");
        bus_.unregisterObject("/org/freedesktop/Notifications");
    }
    bool Registered() const { return registered_; }
    std::vector<Notice> Notices;

public slots:
    QStringList GetCapabilities() { return capabilities_; }
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon, const QString& summary,
                const QString& body, const QStringList&, const QVariantMap&, int) {
        const uint id = replacesId != 0 ? replacesId : ++lastId_;
        Notices.push_back({appName, replacesId, appIcon, summary, body, id});
        return id;
    }

private:
    QStringList capabilities_;
    QDBusConnection bus_;
    uint lastId_ = 40;
    bool registered_ = false;
};

class TitleNotifications : public Mpris {
protected:
    bool WaitForNotices(FakeNotificationServer& server, size_t count) {
        return QTest::qWaitFor([&] { return server.Notices.size() >= count; }, kWait);
    }
};

TEST_F(TitleNotifications, WhileHiddenEachTitleReplacesTheLastAndNothingWhileVisible) {
    FakeNotificationServer server({"body"}, "notifications");
    ASSERT_TRUE(server.Registered());
    const DWORD stream = Play("One URL", "http://one.example/live");
    ShowTitle(stream, "Seen in the window");

    form_->HideToTray();
    ShowTitle(stream, "Artist - First");
    ASSERT_TRUE(WaitForNotices(server, 1));
    const auto& first = server.Notices[0];
    EXPECT_EQ(first.AppName, "Lumaro Radio");
    EXPECT_EQ(first.AppIcon, "org.lumaro.LumaroRadio");
    EXPECT_EQ(first.Summary, "One URL");
    EXPECT_EQ(first.Body, "Artist - First");
    EXPECT_EQ(first.ReplacesId, 0u);

    ShowTitle(stream, "Artist - First"); // read again: nothing new
    ShowTitle(stream, "Second");
    ASSERT_TRUE(WaitForNotices(server, 2));
    EXPECT_EQ(server.Notices[1].Body, "Second");
    EXPECT_EQ(server.Notices[1].ReplacesId, server.Notices[0].Id);

    // Back in sight: titles stay in the window; minimised: shown again.
    form_->ShowMainWindow();
    ShowTitle(stream, "Third");
    form_->showMinimized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form_->isMinimized(); }, kWait));
    ShowTitle(stream, "Fourth");
    ASSERT_TRUE(WaitForNotices(server, 3));
    EXPECT_EQ(server.Notices[2].Body, "Fourth");
    EXPECT_EQ(server.Notices[2].ReplacesId, server.Notices[0].Id);
    EXPECT_EQ(server.Notices.size(), 3u);
}

TEST_F(TitleNotifications, AServerThatReadsMarkupGetsTheTitleAsText) {
    struct Case {
        const char* Capability;
        const char* Body;
    };
    const Case cases[] = {{"body-markup", "Tom &amp; Jerry &lt;b&gt;live&lt;/b&gt;"},
                          {"body", "Tom & Jerry <b>live</b>"}};
    int n = 0;
    for (const Case& c : cases) {
        FakeNotificationServer server({c.Capability}, QStringLiteral("markup%1").arg(++n));
        ASSERT_TRUE(server.Registered());
        TTitleNotifier notifier;
        notifier.TitleShown("Station", "Tom & Jerry <b>live</b>", true);
        ASSERT_TRUE(WaitForNotices(server, 1)) << c.Capability;
        EXPECT_EQ(server.Notices[0].Body, c.Body);
        EXPECT_EQ(server.Notices[0].Summary, "Station");
    }
}

TEST_F(TitleNotifications, WithNoServerNothingFailsAndALaterServerIsUsed) {
    const DWORD stream = Play("One URL", "http://one.example/live");
    form_->HideToTray();
    ShowTitle(stream, "Nobody listens");
    // The call nobody answers ends by itself; the player plays on.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !session_->TitleNotifier().CallInFlight(); }, kWait));
    EXPECT_EQ(session_->TitleNotifier().ShownId(), 0u);
    FakeNotificationServer server({"body"}, "late");
    ASSERT_TRUE(server.Registered());
    ShowTitle(stream, "Now someone does");
    ASSERT_TRUE(WaitForNotices(server, 1));
    EXPECT_EQ(server.Notices[0].Body, "Now someone does");
    EXPECT_EQ(server.Notices.size(), 1u);
    EXPECT_TRUE(session_->PlayerState().PlayActive);
}

} // namespace
} // namespace lumaro::window_test

#include "desktop_bus_test.moc"
