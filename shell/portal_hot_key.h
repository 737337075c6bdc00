#pragma once
// The system-wide show/hide key on Wayland, where clients cannot grab keys:
// the desktop portal's GlobalShortcuts interface binds one shortcut in a
// session of ours and signals each activation. Binding is asynchronous (the
// desktop may ask the user first); the portal's answers are checked before
// use, and anything malformed or meant for another session is dropped. Window
// thread only.

#include "shell/global_hot_key.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <functional>
#include <map>

class QDBusMessage;

namespace lumaro {

// The portal's trigger text for a combination ("CTRL+SHIFT+F12", "ALT+k"),
// as the XDG shortcuts syntax writes it; empty for no combination.
QString PortalTrigger(const THotKey& hotKey);

class TPortalHotKey : public QObject, public TGlobalHotKey {
    Q_OBJECT
public:
    // The shortcut's id in our session, and what the desktop shows for it.
    static constexpr const char* kShortcutId = "show-hide";
    static constexpr const char* kDescription = "Show/Hide Lumaro Radio";

    // bus: where the portal answers, the session bus but for tests.
    explicit TPortalHotKey(QDBusConnection bus = QDBusConnection::sessionBus());
    ~TPortalHotKey() override;
    TPortalHotKey(const TPortalHotKey&) = delete;
    TPortalHotKey& operator=(const TPortalHotKey&) = delete;

    // Closes the session held and opens one that binds hotKey; true once the
    // request is sent. The same combination again while its session lives
    // keeps that session (no new question to the user).
    bool Register(const THotKey& hotKey, std::function<void()> pressed) override;
    // Closes the session, if any; later answers to it are ignored.
    void Unregister() override;

    // Whether the portal has confirmed the binding of the current session.
    bool Bound() const { return bound_; }
    // The current session's object path; empty while none is open.
    const QString& SessionHandle() const { return session_; }

private slots:
    void RequestAnswered(const QDBusMessage& message);
    void ShortcutActivated(const QDBusMessage& message);
    void SessionClosed(const QDBusMessage& message);

private:
    enum class TRequestKind { CreateSession, BindShortcuts, Abandoned };
    // Sends a portal call whose answer comes as a Request::Response; listens
    // on the handle it will have before sending, as the portal advises.
    void SendRequest(TRequestKind kind, const QString& method, const QVariantList& arguments,
                     QVariantMap options);
    void Forget(const QString& requestPath);
    void SessionOpened(const QString& session);
    void CloseSession(const QString& session);
    void WatchSession(const QString& session, bool watch);

    QDBusConnection bus_;
    QString sender_; // our unique name as the portal writes it in handles
    THotKey hotKey_;
    std::function<void()> pressed_;
    std::map<QString, TRequestKind> requests_; // request handle → what it answers
    QString session_;
    bool bound_ = false;
    bool activatedWatched_ = false;
};

// Whether the portal offers GlobalShortcuts; asks with a short time-out so a
// missing or stuck portal costs start-up no more than a moment.
bool PortalOffersGlobalShortcuts(const QDBusConnection& bus);

} // namespace lumaro
