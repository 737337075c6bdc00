#pragma once
// A desktop notification (org.freedesktop.Notifications) for each new stream
// title while the main window is out of sight: the station's name as its
// summary, the title as its body, each one replacing the one before instead
// of piling up. Without a notification server nothing is shown and nothing
// fails; no call ever holds the window up. Window thread.

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <optional>

class QDBusPendingCallWatcher;

namespace lumaro {

class TTitleNotifier : public QObject {
    Q_OBJECT
public:
    explicit TTitleNotifier(QDBusConnection bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);

    // The title line now shows title for stationName (empty: no title, or
    // nothing playing). windowAway: the main window is hidden or minimised;
    // only then is a new title shown. The same title again shows nothing.
    void TitleShown(const QString& stationName, const QString& title, bool windowAway);

    // The id of the notification the next one replaces; 0 before the first.
    uint ShownId() const { return shownId_; }
    // A call to the server is on its way.
    bool CallInFlight() const { return inFlight_; }

private:
    void Send();
    void CapabilitiesAnswered(QDBusPendingCallWatcher* call);
    void NotifyAnswered(QDBusPendingCallWatcher* call);

    QDBusConnection bus_;
    QString lastStation_, lastTitle_; // as last given, shown or not
    struct TNotice {
        QString Summary, Body;
    };
    std::optional<TNotice> waiting_; // to go once the call in flight is answered
    bool inFlight_ = false;
    std::optional<bool> bodyMarkup_; // the server reads the body as markup; unknown until asked
    uint shownId_ = 0;
};

} // namespace lumaro
