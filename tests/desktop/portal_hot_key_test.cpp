// The show/hide key through the desktop portal's GlobalShortcuts, against a
// fake portal on the private session bus the suite runs on (dbus-run-session
// with a bus of its own, nothing activatable): the fake owns the portal's
// name on a connection and thread of its own, as the real portal is another
// process, and answers or misbehaves as each case asks.

#include "shell/portal_hot_key.h"
#include "tests/window/window_fixture.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QMutex>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include <optional>

namespace lumaro {
namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kShortcuts = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
constexpr int kWait = 10000; // ms
constexpr int kKeyA = 0x41, kKeyK = 0x4B;

QString BusAddress() {
    return qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
}

// How the fake answers a request: the Response's code and results as sent,
// or an error reply to the call and no Response at all.
struct Answer {
    QVariant Code = QVariant::fromValue(0u);
    std::optional<QVariant> Results; // unset: a good one
    bool ErrorReply = false;
    bool Held = false; // the Response waits for ReleaseHeld()
};

struct Binding {
    QString Session, Id, Description, Trigger;
};

// The portal's side: GlobalShortcuts with its version property, the
// sessions' Close, the registry's Register. Runs on its own thread.
class FakePortal : public QDBusVirtualObject {
public:
    enum class Version { Offered, Missing, NotANumber, Silent };
    explicit FakePortal(Version version) : version_(version) {}

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        QDBusConnection bus(connection);
        const QString member = message.member();
        const QVariantList args = message.arguments();
        {
            QMutexLocker lock(&mutex_);
            calls_.push_back(member + u' ' + args.value(0).toString());
        }
        if (member == QLatin1String("Get")) return AnswerVersion(message, bus);
        if (member == QLatin1String("Close")) {
            QMutexLocker lock(&mutex_);
            closed_.push_back(message.path());
            bus.send(message.createReply());
            return true;
        }
        if (member == QLatin1String("Register")) {
            bus.send(message.createReply());
            return true;
        }
        if (member != QLatin1String("CreateSession") && member != QLatin1String("BindShortcuts"))
            return false;

        const QVariantMap options = qdbus_cast<QVariantMap>(args.last());
        QString sender = message.service().mid(1);
        sender.replace(u'.', u'_');
        const QString handle =
            kPath + "/request/" + sender + "/" + options.value(QStringLiteral("handle_token")).toString();
        Answer answer;
        QVariantMap results;
        {
            QMutexLocker lock(&mutex_);
            if (member == QLatin1String("CreateSession")) {
                const QString session = kPath + "/session/" + sender + "/" +
                                        options.value(QStringLiteral("session_handle_token")).toString();
                sessions_.push_back(session);
                results.insert(QStringLiteral("session_handle"), session);
                if (!createAnswers_.isEmpty()) answer = createAnswers_.takeFirst();
            } else {
                RecordBinding(args);
                if (!bindAnswers_.isEmpty()) answer = bindAnswers_.takeFirst();
            }
        }
        if (answer.ErrorReply) {
            bus.send(message.createErrorReply(QDBusError::AccessDenied, QStringLiteral("refused")));
            return true;
        }
        bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(handle))));
        QDBusMessage response =
            QDBusMessage::createSignal(handle, QStringLiteral("org.freedesktop.portal.Request"), "Response");
        response << answer.Code << (answer.Results ? *answer.Results : QVariant(results));
        if (answer.Held) {
            QMutexLocker lock(&mutex_);
            held_.push_back(response);
        } else {
            bus.send(response);
        }
        return true;
    }

    // The answers to the next calls, in order; a call beyond them is answered well.
    void AnswerCreate(QList<Answer> answers) {
        QMutexLocker lock(&mutex_);
        createAnswers_ = std::move(answers);
    }
    void AnswerBind(QList<Answer> answers) {
        QMutexLocker lock(&mutex_);
        bindAnswers_ = std::move(answers);
    }
    // Each call's method and first argument, in the order they came.
    QStringList Calls() const {
        QMutexLocker lock(&mutex_);
        return calls_;
    }
    QStringList Sessions() const {
        QMutexLocker lock(&mutex_);
        return sessions_;
    }
    QList<Binding> Bindings() const {
        QMutexLocker lock(&mutex_);
        return bindings_;
    }
    QStringList Closed() const {
        QMutexLocker lock(&mutex_);
        return closed_;
    }
    QList<QDBusMessage> TakeHeld() {
        QMutexLocker lock(&mutex_);
        return std::exchange(held_, {});
    }

private:
    bool AnswerVersion(const QDBusMessage& message, QDBusConnection& bus) {
        const QVariantList args = message.arguments();
        if (version_ == Version::Silent) return true; // never answers
        if (version_ == Version::Missing || args.value(0).toString() != kShortcuts) {
            bus.send(message.createErrorReply(QDBusError::InvalidArgs, QStringLiteral("No such interface")));
            return true;
        }
        const QVariant value =
            version_ == Version::Offered ? QVariant::fromValue(1u) : QVariant(QStringLiteral("one"));
        bus.send(message.createReply(QVariant::fromValue(QDBusVariant(value))));
        return true;
    }
    void RecordBinding(const QVariantList& args) {
        if (args.size() != 4) return;
        const QString session = args[0].value<QDBusObjectPath>().path();
        const auto shortcuts = args[1].value<QDBusArgument>();
        shortcuts.beginArray();
        while (!shortcuts.atEnd()) {
            QString id;
            QVariantMap properties;
            shortcuts.beginStructure();
            shortcuts >> id >> properties;
            shortcuts.endStructure();
            bindings_.push_back({session, id, properties.value(QStringLiteral("description")).toString(),
                                 properties.value(QStringLiteral("preferred_trigger")).toString()});
        }
        shortcuts.endArray();
    }

    const Version version_;
    mutable QMutex mutex_;
    QList<Answer> createAnswers_, bindAnswers_;
    QStringList calls_, sessions_, closed_;
    QList<Binding> bindings_;
    QList<QDBusMessage> held_;
};

// The fake portal on the bus under the portal's name, taken down at the end.
class PortalHost {
public:
    explicit PortalHost(FakePortal::Version version = FakePortal::Version::Offered)
        : name_(QStringLiteral("portal%1").arg(++count_)), portal_(new FakePortal(version)) {
        bus_ = QDBusConnection::connectToBus(BusAddress(), name_);
        // registered before the move: the registration makes a child of it
        ok_ = bus_.isConnected() && bus_.registerVirtualObject(kPath, portal_, QDBusConnection::SubPath);
        thread_.start();
        portal_->moveToThread(&thread_);
        ok_ = ok_ && bus_.registerService(kService);
    }
    ~PortalHost() {
        bus_.unregisterService(kService);
        bus_.unregisterObject(kPath, QDBusConnection::UnregisterTree);
        QDBusConnection::disconnectFromBus(name_);
        QMetaObject::invokeMethod(
            portal_, [p = portal_] { delete p; }, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }
    bool Ok() const { return ok_; }
    FakePortal& Portal() { return *portal_; }
    QDBusConnection& Bus() { return bus_; }

    // The portal says a shortcut of a session was pressed.
    void Activate(const QString& session, const QString& id) { Send(bus_, session, id); }
    static void Send(QDBusConnection& bus, const QString& session, const QString& id) {
        QDBusMessage signal = QDBusMessage::createSignal(kPath, kShortcuts, QStringLiteral("Activated"));
        signal << QVariant::fromValue(QDBusObjectPath(session)) << id << quint64(1234) << QVariantMap();
        bus.send(signal);
    }
    // The portal ends a session by itself (the user revoked it, say).
    void EndSession(const QString& session) {
        QDBusMessage signal =
            QDBusMessage::createSignal(session, QStringLiteral("org.freedesktop.portal.Session"), "Closed");
        signal << QVariantMap();
        bus_.send(signal);
    }
    void ReleaseHeld() {
        for (const QDBusMessage& response : portal_->TakeHeld())
            bus_.send(response);
    }

private:
    static inline int count_ = 0;
    QString name_;
    QThread thread_;
    FakePortal* portal_;
    QDBusConnection bus_{QString()};
    bool ok_ = false;
};

// Our side: a connection of its own and the hot key on it.
class PortalHotKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(BusAddress().isEmpty()) << "run under dbus-run-session (see CMakeLists.txt)";
        ASSERT_TRUE(host_.Ok()) << "the portal's name is taken on this bus";
        bus_ = QDBusConnection::connectToBus(BusAddress(), QStringLiteral("player"));
        ASSERT_TRUE(bus_.isConnected());
        hotKey_ = std::make_unique<TPortalHotKey>(bus_);
    }
    void TearDown() override {
        hotKey_.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("player"));
    }
    FakePortal& Portal() { return host_.Portal(); }
    bool WaitFor(std::function<bool()> done) { return QTest::qWaitFor(done, kWait); }
    bool Register(THotKey hotKey) {
        return hotKey_->Register(hotKey, [this] { ++presses_; });
    }
    // Registers and waits until the portal has confirmed the binding.
    void Bind(THotKey hotKey) {
        ASSERT_TRUE(Register(hotKey));
        ASSERT_TRUE(WaitFor([&] { return hotKey_->Bound(); })) << PortalTrigger(hotKey).toStdString();
    }
    // Presses the shortcut of the current session after whatever was sent
    // before; signals from one connection arrive in order, so once this press
    // has counted, the earlier ones have been handled. The presses they made.
    int PressesBefore() {
        const int before = presses_;
        host_.Activate(hotKey_->SessionHandle(), TPortalHotKey::kShortcutId);
        EXPECT_TRUE(WaitFor([&] { return presses_ > before; }));
        return presses_ - before - 1;
    }

    PortalHost host_;
    QDBusConnection bus_{QString()};
    std::unique_ptr<TPortalHotKey> hotKey_;
    int presses_ = 0;
};

TEST(PortalTrigger, CombinationsInTheShortcutsSyntax) {
    const struct {
        THotKey hotKey;
        const char* trigger;
    } cases[] = {
        {DefaultHotKey(), "CTRL+SHIFT+F12"},
        {{kKeyK, true, true, false}, "CTRL+SHIFT+k"},
        {{kKeyK, false, false, true}, "ALT+k"},
        {{0x31, true, true, true}, "CTRL+ALT+SHIFT+1"},
        {{0x61, false, true, false}, "CTRL+KP_1"}, // numeric-pad digit
        {{0x6B, false, true, false}, "CTRL+KP_Add"},
        {{0x21, false, true, false}, "CTRL+Page_Up"},
        {{0x20, false, true, false}, "CTRL+space"},
        {{0xDE, false, true, false}, "CTRL+apostrophe"},
        {{0x87, false, true, false}, "CTRL+F24"},
        {{}, ""},                         // no combination
        {{0x5B, false, true, false}, ""}, // a code without a key of ours
    };
    for (const auto& c : cases)
        EXPECT_EQ(PortalTrigger(c.hotKey).toStdString(), c.trigger) << HotKeyText(c.hotKey);
}

TEST_F(PortalHotKeyTest, BindsTheShortcutAndItsPressesShowOrHide) {
    Bind(DefaultHotKey());
    const QList<Binding> bindings = Portal().Bindings();
    ASSERT_EQ(bindings.size(), 1);
    EXPECT_EQ(bindings[0].Session, hotKey_->SessionHandle());
    EXPECT_EQ(bindings[0].Session, Portal().Sessions().value(0));
    EXPECT_EQ(bindings[0].Id, "show-hide");
    EXPECT_EQ(bindings[0].Description, "Show/Hide Lumaro Radio");
    EXPECT_EQ(bindings[0].Trigger, "CTRL+SHIFT+F12");

    EXPECT_EQ(PressesBefore(), 0);
    EXPECT_EQ(presses_, 1);

    // another session's, another shortcut's, malformed: none is ours
    host_.Activate(kPath + "/session/other/lumaro1", TPortalHotKey::kShortcutId);
    host_.Activate(hotKey_->SessionHandle(), QStringLiteral("other"));
    QDBusMessage malformed = QDBusMessage::createSignal(kPath, kShortcuts, QStringLiteral("Activated"));
    malformed << 7 << QStringLiteral("show-hide");
    host_.Bus().send(malformed);
    EXPECT_EQ(PressesBefore(), 0);

    // the same signal from a program that is not the portal
    QDBusConnection impostor = QDBusConnection::connectToBus(BusAddress(), QStringLiteral("impostor"));
    PortalHost::Send(impostor, hotKey_->SessionHandle(), TPortalHotKey::kShortcutId);
    // the daemon answers a call only after routing what came before it
    ASSERT_TRUE(impostor.interface()->isServiceRegistered(kService).value());
    EXPECT_EQ(PressesBefore(), 0);
    QDBusConnection::disconnectFromBus(QStringLiteral("impostor"));
}

TEST_F(PortalHotKeyTest, ANewCombinationRebindsInANewSessionAndTheOldOneIsClosed) {
    Bind(DefaultHotKey());
    const QString first = hotKey_->SessionHandle();
    Bind({kKeyK, false, true, true});
    const QString second = hotKey_->SessionHandle();
    EXPECT_NE(second, first);
    EXPECT_TRUE(Portal().Closed().contains(first));
    ASSERT_EQ(Portal().Bindings().size(), 2);
    EXPECT_EQ(Portal().Bindings()[1].Trigger, "CTRL+ALT+k");
    EXPECT_EQ(Portal().Bindings()[1].Session, second);

    host_.Activate(first, TPortalHotKey::kShortcutId);
    EXPECT_EQ(PressesBefore(), 0) << "the old session's shortcut";

    // the same combination again (OK in Settings unchanged): no new session
    ASSERT_TRUE(Register({kKeyK, false, true, true}));
    EXPECT_EQ(PressesBefore(), 0);
    EXPECT_EQ(Portal().Sessions().size(), 2);
    EXPECT_EQ(hotKey_->SessionHandle(), second);

    hotKey_->Unregister();
    EXPECT_TRUE(hotKey_->SessionHandle().isEmpty());
    EXPECT_FALSE(hotKey_->Bound());
    ASSERT_TRUE(WaitFor([&] { return Portal().Closed().contains(second); }));
    host_.Activate(second, TPortalHotKey::kShortcutId);
    Bind(DefaultHotKey());
    EXPECT_EQ(PressesBefore(), 0) << "a press after Unregister";
}

TEST_F(PortalHotKeyTest, NoCombinationBindsNothingAndReleasesTheOneHeld) {
    Bind(DefaultHotKey());
    const QString session = hotKey_->SessionHandle();
    EXPECT_FALSE(Register({}));
    EXPECT_TRUE(hotKey_->SessionHandle().isEmpty());
    ASSERT_TRUE(WaitFor([&] { return Portal().Closed().contains(session); }));
}

TEST_F(PortalHotKeyTest, ASessionThePortalEndsIsOpenedAgainByTheNextRegistration) {
    Bind(DefaultHotKey());
    const QString ended = hotKey_->SessionHandle();
    host_.EndSession(ended);
    ASSERT_TRUE(WaitFor([&] { return !hotKey_->Bound(); }));
    EXPECT_TRUE(hotKey_->SessionHandle().isEmpty());
    Bind(DefaultHotKey());
    EXPECT_NE(hotKey_->SessionHandle(), ended);
    EXPECT_EQ(Portal().Bindings().size(), 2);
}

TEST_F(PortalHotKeyTest, ASessionOpenedAfterItWasLetGoIsClosed) {
    Answer held;
    held.Held = true;
    Portal().AnswerCreate({held});
    ASSERT_TRUE(Register(DefaultHotKey()));
    ASSERT_TRUE(WaitFor([&] { return Portal().Sessions().size() == 1; }));
    hotKey_->Unregister();
    host_.ReleaseHeld();
    const QString session = Portal().Sessions()[0];
    ASSERT_TRUE(WaitFor([&] { return Portal().Closed().contains(session); }));
    EXPECT_TRUE(Portal().Bindings().isEmpty());
    EXPECT_TRUE(hotKey_->SessionHandle().isEmpty());
}

// A portal that refuses or answers nonsense binds nothing and breaks
// nothing: the next combination binds as usual.
TEST_F(PortalHotKeyTest, RefusedOrMalformedAnswersBindNothing) {
    const auto code = [](QVariant value) {
        Answer a;
        a.Code = value;
        return a;
    };
    const auto results = [](QVariant value) {
        Answer a;
        a.Results = value;
        return a;
    };
    Answer error;
    error.ErrorReply = true;
    const struct {
        const char* name;
        std::optional<Answer> create, bind;
        bool sessionClosed; // the portal opened a session that is now of no use
    } cases[] = {
        {"creation cancelled by the user", code(1u), {}, false},
        {"creation failed", code(2u), {}, false},
        {"creation refused by an error reply", error, {}, false},
        {"a signed response code", code(0), {}, false},
        {"results that are no vardict", results(QStringLiteral("session")), {}, false},
        {"a session handle that is no path", results(QVariantMap{{"session_handle", "no path"}}), {}, false},
        {"a session handle of another type", results(QVariantMap{{"session_handle", 42}}), {}, false},
        {"binding cancelled by the user", {}, code(1u), true},
        {"binding refused by an error reply", {}, error, true},
        {"a binding answered with a string code", {}, code(QStringLiteral("0")), true},
    };
    int letter = 0; // each combination new, so each opens a session
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const qsizetype sessions = Portal().Sessions().size(), bindings = Portal().Bindings().size();
        Portal().AnswerCreate(c.create ? QList<Answer>{*c.create} : QList<Answer>{});
        Portal().AnswerBind(c.bind ? QList<Answer>{*c.bind} : QList<Answer>{});
        ASSERT_TRUE(Register({kKeyA + letter++, true, true, false}));
        ASSERT_TRUE(WaitFor([&] { return Portal().Sessions().size() == sessions + 1; }));
        const QString refused = Portal().Sessions().last();
        if (c.sessionClosed) {
            ASSERT_TRUE(WaitFor([&] { return Portal().Closed().contains(refused); }));
            EXPECT_FALSE(hotKey_->Bound());
        }
        // another combination, answered well, after the bad answer
        const THotKey hotKey{kKeyA + letter++, true, true, false};
        Bind(hotKey);
        EXPECT_EQ(Portal().Bindings().size(), bindings + (c.bind ? 2 : 1));
        EXPECT_EQ(Portal().Bindings().last().Trigger, PortalTrigger(hotKey));
        host_.Activate(refused, TPortalHotKey::kShortcutId);
        EXPECT_EQ(PressesBefore(), 0);
    }
}

// The choice of hot key, on the offscreen platform (no X11 to grab on).
TEST(GlobalHotKeyChoice, ThePortalOnlyOnWaylandAndOnlyWhereItOffersShortcuts) {
    ASSERT_FALSE(BusAddress().isEmpty()) << "run under dbus-run-session (see CMakeLists.txt)";
    QDBusConnection bus = QDBusConnection::connectToBus(BusAddress(), QStringLiteral("chooser"));
    ASSERT_TRUE(bus.isConnected());
    using V = FakePortal::Version;
    const struct {
        const char* name;
        std::optional<V> portal; // unset: no portal on the bus
        bool wayland, connected, chosen;
    } cases[] = {
        {"Wayland, shortcuts offered", V::Offered, true, true, true},
        {"X11 session", V::Offered, false, true, false},
        {"Wayland, a portal without shortcuts", V::Missing, true, true, false},
        {"Wayland, a version that is no number", V::NotANumber, true, true, false},
        {"Wayland, no portal", std::nullopt, true, true, false},
        {"Wayland, a portal that never answers", V::Silent, true, true, false},
        {"Wayland, no bus", V::Offered, true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<PortalHost> host;
        if (c.portal) {
            ASSERT_TRUE(host.emplace(*c.portal).Ok());
        }
        THotKeyDesktop desktop;
        desktop.Wayland = c.wayland;
        if (c.connected) desktop.Bus = bus;
        QElapsedTimer started;
        started.start();
        const std::unique_ptr<TGlobalHotKey> hotKey = MakeGlobalHotKey(desktop);
        // a stuck portal costs its short time-out, never D-Bus's 25 s
        EXPECT_LT(started.elapsed(), 10000);
        EXPECT_EQ(dynamic_cast<TPortalHotKey*>(hotKey.get()) != nullptr, c.chosen);
        if (!c.chosen) {
            EXPECT_NE(dynamic_cast<TNullHotKey*>(hotKey.get()), nullptr);
        }
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("chooser"));
}

TEST(GlobalHotKeyChoice, AWaylandSessionIsToldByItsEnvironment) {
    const QByteArray display = qgetenv("WAYLAND_DISPLAY"), type = qgetenv("XDG_SESSION_TYPE");
    const struct {
        const char *display, *type;
        bool wayland;
    } cases[] = {
        {"", "", false},    {"wayland-0", "", true},    {"", "wayland", true},
        {"", "x11", false}, {"wayland-1", "x11", true},
    };
    for (const auto& c : cases) {
        qputenv("WAYLAND_DISPLAY", c.display);
        qputenv("XDG_SESSION_TYPE", c.type);
        EXPECT_EQ(CurrentHotKeyDesktop().Wayland, c.wayland) << c.display << "|" << c.type;
    }
    qputenv("WAYLAND_DISPLAY", display);
    qputenv("XDG_SESSION_TYPE", type);
}

// The real program's window, its hot key chosen as on a Wayland desktop
// with the portal: the portal's presses hide it and show it again.
class PortalWindow : public window_test::WindowWiring {
protected:
    void SetUp() override {
        ASSERT_FALSE(BusAddress().isEmpty()) << "run under dbus-run-session (see CMakeLists.txt)";
        ASSERT_TRUE(host_.Ok());
        const QByteArray display = qgetenv("WAYLAND_DISPLAY");
        qputenv("WAYLAND_DISPLAY", "lumaro-test"); // the platform stays offscreen
        WindowWiring::SetUp();
        qputenv("WAYLAND_DISPLAY", display);
    }
    PortalHost host_;
};

TEST_F(PortalWindow, ThePortalsPressHidesTheWindowAndShowsItAgain) {
    ASSERT_NE(dynamic_cast<TPortalHotKey*>(&session_->HotKey()), nullptr);
    const auto& hotKey = static_cast<TPortalHotKey&>(session_->HotKey());
    ASSERT_TRUE(QTest::qWaitFor([&] { return hotKey.Bound(); }, kWait));
    EXPECT_EQ(host_.Portal().Bindings().value(0).Trigger, "CTRL+SHIFT+F12");
    // the desktop learns whose shortcut it is before anything else
    EXPECT_EQ(host_.Portal().Calls().value(0), "Register " LUMARO_APP_ID);
    ASSERT_TRUE(form_->isVisible());

    host_.Activate(hotKey.SessionHandle(), TPortalHotKey::kShortcutId);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form_->isVisible(); }, kWait))
        << "in front: hidden into the tray";
    host_.Activate(hotKey.SessionHandle(), TPortalHotKey::kShortcutId);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form_->isVisible(); }, kWait));
}

} // namespace
} // namespace lumaro
