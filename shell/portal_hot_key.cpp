#include "shell/portal_hot_key.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>

#include <algorithm>

namespace {

// One entry of BindShortcuts' a(sa{sv}): the shortcut's id and its properties.
struct PortalShortcut {
    QString Id;
    QVariantMap Properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.Id << shortcut.Properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.Id >> shortcut.Properties;
    argument.endStructure();
    return argument;
}

} // namespace

Q_DECLARE_METATYPE(PortalShortcut)

namespace lumaro {

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kShortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRequestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString kSessionInterface = QStringLiteral("org.freedesktop.portal.Session");
// long enough for a running portal on a busy machine, short enough that a
// stuck one does not hold start-up
constexpr int kProbeTimeoutMs = 500;

// The xkb name of a keysym our key table uses; empty for any other.
QString KeysymName(unsigned keysym) {
    if ((keysym >= '0' && keysym <= '9') || (keysym >= 'a' && keysym <= 'z')) return QChar(char16_t(keysym));
    if (keysym >= 0xFFBE && keysym <= 0xFFD5) return QStringLiteral("F%1").arg(keysym - 0xFFBD);
    if (keysym >= 0xFFB0 && keysym <= 0xFFB9) return QStringLiteral("KP_%1").arg(keysym - 0xFFB0);
    static const std::pair<unsigned, const char*> names[] = {
        {0x20, "space"},         {0x27, "apostrophe"},    {0x2C, "comma"},        {0x2D, "minus"},
        {0x2E, "period"},        {0x2F, "slash"},         {0x3B, "semicolon"},    {0x3D, "equal"},
        {0x5B, "bracketleft"},   {0x5C, "backslash"},     {0x5D, "bracketright"}, {0x60, "grave"},
        {0xFF08, "BackSpace"},   {0xFF09, "Tab"},         {0xFF0D, "Return"},     {0xFF13, "Pause"},
        {0xFF14, "Scroll_Lock"}, {0xFF1B, "Escape"},      {0xFF50, "Home"},       {0xFF51, "Left"},
        {0xFF52, "Up"},          {0xFF53, "Right"},       {0xFF54, "Down"},       {0xFF55, "Page_Up"},
        {0xFF56, "Page_Down"},   {0xFF57, "End"},         {0xFF61, "Print"},      {0xFF63, "Insert"},
        {0xFF67, "Menu"},        {0xFFAA, "KP_Multiply"}, {0xFFAB, "KP_Add"},     {0xFFAD, "KP_Subtract"},
        {0xFFAE, "KP_Decimal"},  {0xFFAF, "KP_Divide"},   {0xFFFF, "Delete"},
    };
    for (auto [sym, name] : names)
        if (sym == keysym) return QString::fromLatin1(name);
    return {};
}

// A token for a request or session handle, unique within the process.
QString NextToken() {
    static unsigned next = 0; // window thread
    return QStringLiteral("lumaro%1").arg(++next);
}

bool IsObjectPath(const QString& path) {
    if (!path.startsWith(u'/') || path.contains(QStringLiteral("//"))) return false;
    if (path.size() > 1 && path.endsWith(u'/')) return false;
    for (QChar c : path)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u'_' && c != u'/') return false;
    return true;
}

// An object path sent as "o" or, by older portals, as "s"; empty otherwise.
QString PathOf(const QVariant& value) {
    QString path;
    if (value.userType() == qMetaTypeId<QDBusObjectPath>())
        path = value.value<QDBusObjectPath>().path();
    else if (value.userType() == QMetaType::QString)
        path = value.toString();
    return IsObjectPath(path) ? path : QString();
}

// An a{sv} argument of a received message; empty for any other type.
QVariantMap VardictOf(const QVariant& value) {
    QVariantMap map;
    if (value.userType() != qMetaTypeId<QDBusArgument>()) return map;
    const auto argument = value.value<QDBusArgument>();
    if (argument.currentSignature() == QLatin1String("a{sv}")) argument >> map;
    return map;
}

} // namespace

QString PortalTrigger(const THotKey& hotKey) {
    const QString key = KeysymName(KeysymFromVirtualKey(hotKey.VirtualKey));
    if (key.isEmpty()) return {};
    QString trigger;
    if (hotKey.Ctrl) trigger += QLatin1String("CTRL+");
    if (hotKey.Alt) trigger += QLatin1String("ALT+");
    if (hotKey.Shift) trigger += QLatin1String("SHIFT+");
    return trigger + key;
}

TPortalHotKey::TPortalHotKey(QDBusConnection bus) : bus_(std::move(bus)) {
    static const bool registered = [] {
        qDBusRegisterMetaType<PortalShortcut>();
        qDBusRegisterMetaType<QList<PortalShortcut>>();
        return true;
    }();
    (void)registered;
    // handles name us by our unique name, ":1.42" written "1_42"
    sender_ = bus_.baseService();
    if (sender_.startsWith(u':')) sender_.remove(0, 1);
    sender_.replace(u'.', u'_');
}

TPortalHotKey::~TPortalHotKey() {
    Unregister();
}

bool TPortalHotKey::Register(const THotKey& hotKey, std::function<void()> pressed) {
    const bool opening = std::any_of(requests_.begin(), requests_.end(),
                                     [](const auto& r) { return r.second == TRequestKind::CreateSession; });
    if (!hotKey.Empty() && hotKey == hotKey_ && (opening || !session_.isEmpty())) {
        pressed_ = std::move(pressed);
        return true;
    }
    Unregister();
    if (PortalTrigger(hotKey).isEmpty() || !bus_.isConnected()) return false;
    hotKey_ = hotKey;
    pressed_ = std::move(pressed);
    if (!activatedWatched_)
        activatedWatched_ = bus_.connect(kService, kPath, kShortcutsInterface, QStringLiteral("Activated"),
                                         this, SLOT(ShortcutActivated(QDBusMessage)));
    SendRequest(TRequestKind::CreateSession, QStringLiteral("CreateSession"), {},
                {{QStringLiteral("session_handle_token"), NextToken()}});
    return true;
}

void TPortalHotKey::Unregister() {
    // A session still being opened is closed once its handle arrives.
    for (auto it = requests_.begin(); it != requests_.end();) {
        if (it->second == TRequestKind::CreateSession) {
            it->second = TRequestKind::Abandoned;
            ++it;
        } else if (it->second == TRequestKind::BindShortcuts) {
            const QString path = it->first;
            ++it;
            Forget(path);
        } else {
            ++it;
        }
    }
    if (!session_.isEmpty()) {
        WatchSession(session_, false);
        CloseSession(session_);
        session_.clear();
    }
    bound_ = false;
    hotKey_ = {};
    pressed_ = nullptr;
}

void TPortalHotKey::SendRequest(TRequestKind kind, const QString& method, const QVariantList& arguments,
                                QVariantMap options) {
    const QString token = NextToken();
    const QString handle = kPath + QLatin1String("/request/") + sender_ + u'/' + token;
    options.insert(QStringLiteral("handle_token"), token);
    bus_.connect(kService, handle, kRequestInterface, QStringLiteral("Response"), this,
                 SLOT(RequestAnswered(QDBusMessage)));
    requests_[handle] = kind;

    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kShortcutsInterface, method);
    call.setArguments(arguments + QVariantList{options});
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, handle](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const auto found = requests_.find(handle);
        if (found == requests_.end()) return; // answered or forgotten meanwhile
        const TRequestKind kind = found->second;
        const QDBusMessage reply = w->reply();
        const QString actual = reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 1
                                   ? PathOf(reply.arguments().first())
                                   : QString();
        if (actual == handle) return;
        Forget(handle);
        if (actual.isEmpty()) {
            // refused: a session opened for the binding is of no use
            if (kind == TRequestKind::BindShortcuts) {
                WatchSession(session_, false);
                CloseSession(session_);
                session_.clear();
            }
            return;
        }
        // a portal older than handle tokens answers on a handle of its own
        bus_.connect(kService, actual, kRequestInterface, QStringLiteral("Response"), this,
                     SLOT(RequestAnswered(QDBusMessage)));
        requests_[actual] = kind;
    });
}

void TPortalHotKey::Forget(const QString& requestPath) {
    requests_.erase(requestPath);
    bus_.disconnect(kService, requestPath, kRequestInterface, QStringLiteral("Response"), this,
                    SLOT(RequestAnswered(QDBusMessage)));
}

void TPortalHotKey::RequestAnswered(const QDBusMessage& message) {
    const auto found = requests_.find(message.path());
    if (found == requests_.end()) return;
    const TRequestKind kind = found->second;
    Forget(message.path());
    const QVariantList arguments = message.arguments();
    // 0: success; 1: the user cancelled; 2: anything else
    const bool success =
        arguments.size() == 2 && arguments[0].userType() == QMetaType::UInt && arguments[0].toUInt() == 0;
    const QVariantMap results = success ? VardictOf(arguments[1]) : QVariantMap();
    const QString session = PathOf(results.value(QStringLiteral("session_handle")));
    switch (kind) {
    case TRequestKind::CreateSession:
        if (!session.isEmpty()) SessionOpened(session);
        break;
    case TRequestKind::Abandoned:
        if (!session.isEmpty()) CloseSession(session);
        break;
    case TRequestKind::BindShortcuts:
        if (success) {
            bound_ = true;
        } else if (!session_.isEmpty()) {
            WatchSession(session_, false);
            CloseSession(session_);
            session_.clear();
        }
        break;
    }
}

void TPortalHotKey::SessionOpened(const QString& session) {
    session_ = session;
    WatchSession(session_, true);
    PortalShortcut shortcut;
    shortcut.Id = QString::fromLatin1(kShortcutId);
    shortcut.Properties.insert(QStringLiteral("description"), QString::fromLatin1(kDescription));
    shortcut.Properties.insert(QStringLiteral("preferred_trigger"), PortalTrigger(hotKey_));
    const QList<PortalShortcut> shortcuts{shortcut};
    SendRequest(TRequestKind::BindShortcuts, QStringLiteral("BindShortcuts"),
                {QVariant::fromValue(QDBusObjectPath(session_)), QVariant::fromValue(shortcuts), QString()},
                {});
}

void TPortalHotKey::ShortcutActivated(const QDBusMessage& message) {
    const QVariantList arguments = message.arguments();
    if (session_.isEmpty() || arguments.size() < 2 || PathOf(arguments[0]) != session_ ||
        arguments[1].userType() != QMetaType::QString ||
        arguments[1].toString() != QLatin1String(kShortcutId))
        return;
    // the handler may register anew, which replaces pressed_
    const std::function<void()> pressed = pressed_;
    if (pressed) pressed();
}

void TPortalHotKey::SessionClosed(const QDBusMessage& message) {
    if (message.path() != session_) return;
    WatchSession(session_, false);
    session_.clear();
    bound_ = false;
}

void TPortalHotKey::CloseSession(const QString& session) {
    bus_.send(QDBusMessage::createMethodCall(kService, session, kSessionInterface, QStringLiteral("Close")));
}

void TPortalHotKey::WatchSession(const QString& session, bool watch) {
    if (watch)
        bus_.connect(kService, session, kSessionInterface, QStringLiteral("Closed"), this,
                     SLOT(SessionClosed(QDBusMessage)));
    else
        bus_.disconnect(kService, session, kSessionInterface, QStringLiteral("Closed"), this,
                        SLOT(SessionClosed(QDBusMessage)));
}

bool PortalOffersGlobalShortcuts(const QDBusConnection& bus) {
    if (!bus.isConnected()) return false;
    QDBusMessage get = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kShortcutsInterface << QStringLiteral("version");
    const QDBusMessage reply = QDBusConnection(bus).call(get, QDBus::Block, kProbeTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1) return false;
    const QVariant value = reply.arguments().first();
    if (value.userType() != qMetaTypeId<QDBusVariant>()) return false;
    const QVariant version = value.value<QDBusVariant>().variant();
    return version.userType() == QMetaType::UInt && version.toUInt() >= 1;
}

} // namespace lumaro
