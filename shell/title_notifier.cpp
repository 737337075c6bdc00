#include "shell/title_notifier.h"

#include "shell/app_info.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

namespace lumaro {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

QDBusMessage NotificationCall(const QString& method) {
    return QDBusMessage::createMethodCall(kService, kPath, kService, method);
}

} // namespace

TTitleNotifier::TTitleNotifier(QDBusConnection bus, QObject* parent) : QObject(parent), bus_(bus) {}

void TTitleNotifier::TitleShown(const QString& stationName, const QString& title, bool windowAway) {
    if (title == lastTitle_ && stationName == lastStation_) return;
    lastStation_ = stationName;
    lastTitle_ = title;
    if (title.isEmpty() || !windowAway || !bus_.isConnected()) return;
    waiting_ = TNotice{stationName, title}; // only the newest title is worth showing
    if (!inFlight_) Send();
}

void TTitleNotifier::Send() {
    if (!waiting_) return;
    inFlight_ = true;
    if (!bodyMarkup_) {
        auto* watcher =
            new QDBusPendingCallWatcher(bus_.asyncCall(NotificationCall("GetCapabilities")), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, &TTitleNotifier::CapabilitiesAnswered);
        return;
    }
    const TNotice notice = *waiting_;
    waiting_.reset();
    // A server that reads markup in the body would take a title's "<" or "&"
    // for its own.
    const QString body = *bodyMarkup_ ? notice.Body.toHtmlEscaped() : notice.Body;
    QDBusMessage call = NotificationCall("Notify");
    call << QString::fromLatin1(kAppName) << shownId_ << QString::fromLatin1(kAppId) << notice.Summary << body
         << QStringList()
         << QVariantMap{{QStringLiteral("desktop-entry"), QString::fromLatin1(kAppId)},
                        {QStringLiteral("transient"), true}}
         << qint32(-1);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &TTitleNotifier::NotifyAnswered);
}

void TTitleNotifier::CapabilitiesAnswered(QDBusPendingCallWatcher* call) {
    call->deleteLater();
    inFlight_ = false;
    const QDBusPendingReply<QStringList> reply = *call;
    if (reply.isError()) {
        waiting_.reset(); // no server: the title goes unshown
        return;
    }
    bodyMarkup_ = reply.value().contains(QStringLiteral("body-markup"));
    Send();
}

void TTitleNotifier::NotifyAnswered(QDBusPendingCallWatcher* call) {
    call->deleteLater();
    inFlight_ = false;
    const QDBusPendingReply<uint> reply = *call;
    if (reply.isError()) {
        bodyMarkup_.reset(); // the server may have gone; ask the next one afresh
        shownId_ = 0;
    } else {
        shownId_ = reply.value();
    }
    Send();
}

} // namespace lumaro
