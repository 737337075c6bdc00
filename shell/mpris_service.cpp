#include "shell/mpris_service.h"

#include "playback/player_state.h"
#include "shell/app_info.h"
#include "shell/app_session.h"
#include "shell/browser.h"
#include "shell/unit1.h"
#include "ui/skin_knob.h"

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace lumaro {

namespace {

// org.mpris.MediaPlayer2: the application.
class TMprisRootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ CanQuit)
    Q_PROPERTY(bool CanRaise READ CanRaise)
    Q_PROPERTY(bool HasTrackList READ HasTrackList)
    Q_PROPERTY(QString Identity READ Identity)
    Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)
public:
    explicit TMprisRootAdaptor(TMprisService* service) : QDBusAbstractAdaptor(service), service_(*service) {}
    bool CanQuit() const { return true; }
    bool CanRaise() const { return true; }
    bool HasTrackList() const { return false; }
    QString Identity() const { return QString::fromLatin1(kAppName); }
    QString DesktopEntry() const { return QString::fromLatin1(kAppId); }
    QStringList SupportedUriSchemes() const { return {}; }
    QStringList SupportedMimeTypes() const { return {}; }

public slots:
    void Raise() { service_.Raise(); }
    void Quit() { service_.Quit(); }

private:
    TMprisService& service_;
};

// org.mpris.MediaPlayer2.Player: a live stream, so no seeking, no position
// and a fixed rate.
class TMprisPlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    // As generated, but for Position and CanControl, which never signal a change.
    Q_CLASSINFO("D-Bus Introspection",
                "  <interface name=\"org.mpris.MediaPlayer2.Player\">\n"
                "    <method name=\"Next\"/>\n"
                "    <method name=\"Previous\"/>\n"
                "    <method name=\"Pause\"/>\n"
                "    <method name=\"PlayPause\"/>\n"
                "    <method name=\"Stop\"/>\n"
                "    <method name=\"Play\"/>\n"
                "    <method name=\"Seek\"><arg name=\"Offset\" type=\"x\" direction=\"in\"/></method>\n"
                "    <method name=\"SetPosition\"><arg name=\"TrackId\" type=\"o\" direction=\"in\"/>"
                "<arg name=\"Position\" type=\"x\" direction=\"in\"/></method>\n"
                "    <method name=\"OpenUri\"><arg name=\"Uri\" type=\"s\" direction=\"in\"/></method>\n"
                "    <signal name=\"Seeked\"><arg name=\"Position\" type=\"x\"/></signal>\n"
                "    <property name=\"PlaybackStatus\" type=\"s\" access=\"read\"/>\n"
                "    <property name=\"Rate\" type=\"d\" access=\"readwrite\"/>\n"
                "    <property name=\"MinimumRate\" type=\"d\" access=\"read\"/>\n"
                "    <property name=\"MaximumRate\" type=\"d\" access=\"read\"/>\n"
                "    <property name=\"Metadata\" type=\"a{sv}\" access=\"read\">"
                "<annotation name=\"org.qtproject.QtDBus.QtTypeName\" value=\"QVariantMap\"/></property>\n"
                "    <property name=\"Volume\" type=\"d\" access=\"readwrite\"/>\n"
                "    <property name=\"Position\" type=\"x\" access=\"read\">"
                "<annotation name=\"org.freedesktop.DBus.Property.EmitsChangedSignal\" value=\"false\"/>"
                "</property>\n"
                "    <property name=\"CanGoNext\" type=\"b\" access=\"read\"/>\n"
                "    <property name=\"CanGoPrevious\" type=\"b\" access=\"read\"/>\n"
                "    <property name=\"CanPlay\" type=\"b\" access=\"read\"/>\n"
                "    <property name=\"CanPause\" type=\"b\" access=\"read\"/>\n"
                "    <property name=\"CanSeek\" type=\"b\" access=\"read\"/>\n"
                "    <property name=\"CanControl\" type=\"b\" access=\"read\">"
                "<annotation name=\"org.freedesktop.DBus.Property.EmitsChangedSignal\" value=\"false\"/>"
                "</property>\n"
                "  </interface>\n")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(double Rate READ Rate WRITE SetRate)
    Q_PROPERTY(double MinimumRate READ Rate)
    Q_PROPERTY(double MaximumRate READ Rate)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(bool CanGoNext READ Yes)
    Q_PROPERTY(bool CanGoPrevious READ Yes)
    Q_PROPERTY(bool CanPlay READ Yes)
    Q_PROPERTY(bool CanPause READ Yes)
    Q_PROPERTY(bool CanSeek READ No)
    Q_PROPERTY(bool CanControl READ Yes)
public:
    explicit TMprisPlayerAdaptor(TMprisService* service)
        : QDBusAbstractAdaptor(service), service_(*service) {}
    QString PlaybackStatus() const { return service_.PlaybackStatus(); }
    double Rate() const { return 1.0; }
    void SetRate(double) {}
    QVariantMap Metadata() const { return service_.Metadata(); }
    double Volume() const { return service_.Volume(); }
    void SetVolume(double volume) { service_.SetVolume(volume); }
    qlonglong Position() const { return 0; }
    bool Yes() const { return true; }
    bool No() const { return false; }

public slots:
    void Next() { service_.PlayRowBeside(1); }
    void Previous() { service_.PlayRowBeside(-1); }
    void Pause() { service_.Pause(); }
    void PlayPause() { service_.PlayPause(); }
    void Stop() { service_.Stop(); }
    void Play() { service_.Play(); }
    void Seek(qlonglong) {}
    void SetPosition(const QDBusObjectPath&, qlonglong) {}
    void OpenUri(const QString&) {}

signals:
    void Seeked(qlonglong position); // never sent: nothing seeks

private:
    TMprisService& service_;
};

} // namespace

QString PlayingStationName(const TPlayerState& state) {
    return state.StationFields.empty() ? QString() : QString::fromStdU16String(state.StationFields[0]);
}

TMprisTrack TrackFromStreamTitle(const QString& stationName, const QString& streamTitle) {
    static const QString separator = QStringLiteral(" - ");
    const qsizetype at = streamTitle.indexOf(separator);
    if (at > 0) {
        const QString artist = streamTitle.left(at).trimmed();
        const QString title = streamTitle.mid(at + separator.size()).trimmed();
        if (!artist.isEmpty() && !title.isEmpty()) return {title, artist, stationName};
    }
    return {streamTitle, stationName, QString()};
}

int KnobFromMprisVolume(double volume, int current) {
    if (std::isnan(volume)) return current;
    return static_cast<int>(std::lround(std::clamp(volume, 0.0, 1.0) * 100.0));
}

TMprisService::TMprisService(TAppSession& session, QDBusConnection bus) : session_(session), bus_(bus) {
    new TMprisRootAdaptor(this);
    new TMprisPlayerAdaptor(this);
    TForm1& form = session_.MainWindow();
    playing_ = session_.PlayerState().PlayActive;
    connect(&form.Display(), &TPlaybackDisplay::playPictureShown, this, &TMprisService::PlayingShown);
    connect(&form.Display(), &TPlaybackDisplay::titleShown, this, &TMprisService::TitleShown);
    connect(form.DIBKnob5, &SkinKnob::valueChanged, this, &TMprisService::VolumeShown);

    if (!bus_.isConnected()) return;
    if (!bus_.registerObject(QString::fromLatin1(kMprisPath), this, QDBusConnection::ExportAdaptors)) return;
    // A second process (a station opened in a new window) sits beside the first.
    for (const QString& name :
         {QString::fromLatin1(kMprisServiceName), QStringLiteral("%1.instance%2")
                                                      .arg(QLatin1String(kMprisServiceName))
                                                      .arg(QCoreApplication::applicationPid())}) {
        if (bus_.registerService(name)) {
            serviceName_ = name;
            return;
        }
    }
    bus_.unregisterObject(QString::fromLatin1(kMprisPath));
}

TMprisService::~TMprisService() {
    if (serviceName_.isEmpty()) return;
    bus_.unregisterService(serviceName_);
    bus_.unregisterObject(QString::fromLatin1(kMprisPath));
}

double TMprisService::Volume() const {
    return session_.MainWindow().DIBKnob5->Value() / 100.0;
}

void TMprisService::SetVolume(double volume) {
    const int position = KnobFromMprisVolume(volume, session_.MainWindow().DIBKnob5->Value());
    session_.MainWindow().EffectsPanel().TurnKnob(TEffectKnob::Volume, position);
}

void TMprisService::Raise() {
    QTimer::singleShot(0, this, [this] { session_.MainWindow().CoolTrayIcon1Click(); });
}

void TMprisService::Quit() {
    QTimer::singleShot(0, this, [this] { session_.MainWindow().Closelumaroradio1Click(); });
}

void TMprisService::PressPlayStop() {
    // No station chosen: nothing to play, and no message for the desktop's call.
    if (session_.PlayerState().StationLine.empty()) return;
    session_.MainWindow().suiImageButton8Click();
}

void TMprisService::Play() {
    QTimer::singleShot(0, this, [this] {
        if (!session_.PlayerState().PlayActive) PressPlayStop();
    });
}

void TMprisService::Pause() {
    Stop(); // a live stream does not wait where it was
}

void TMprisService::PlayPause() {
    QTimer::singleShot(0, this, [this] { PressPlayStop(); });
}

void TMprisService::Stop() {
    QTimer::singleShot(0, this, [this] {
        if (session_.PlayerState().PlayActive) PressPlayStop();
    });
}

void TMprisService::PlayRowBeside(int step) {
    QTimer::singleShot(0, this, [this, step] { session_.MainWindow().Browser().PlayBeside(step); });
}

void TMprisService::PlayingShown(bool playing) {
    if (playing == playing_) return;
    playing_ = playing;
    Changed(kMprisPlayerInterface, {{QStringLiteral("PlaybackStatus"), PlaybackStatus()}});
}

void TMprisService::TitleShown(const QString& title) {
    // Titles shown while stopped are failure texts, not tracks.
    if (title.isEmpty() || !playing_) {
        if (metadata_.isEmpty()) return;
        metadata_.clear();
        station_.clear();
        title_.clear();
    } else {
        const QString station = PlayingStationName(session_.PlayerState());
        if (title == title_ && station == station_) return; // the same title read again
        station_ = station;
        title_ = title;
        const TMprisTrack track = TrackFromStreamTitle(station, title);
        metadata_ = {{QStringLiteral("mpris:trackid"),
                      QVariant::fromValue(QDBusObjectPath(
                          QStringLiteral("/org/lumaro/LumaroRadio/track/%1").arg(++tracks_)))},
                     {QStringLiteral("xesam:title"), track.Title}};
        if (!track.Artist.isEmpty())
            metadata_.insert(QStringLiteral("xesam:artist"), QStringList{track.Artist});
        if (!track.Album.isEmpty()) metadata_.insert(QStringLiteral("xesam:album"), track.Album);
    }
    Changed(kMprisPlayerInterface, {{QStringLiteral("Metadata"), metadata_}});
}

void TMprisService::VolumeShown() {
    Changed(kMprisPlayerInterface, {{QStringLiteral("Volume"), Volume()}});
}

void TMprisService::Changed(const char* interface, const QVariantMap& properties) {
    if (serviceName_.isEmpty()) return;
    QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(kMprisPath),
                                                     QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(interface) << properties << QStringList();
    bus_.send(signal);
}

} // namespace lumaro

#include "mpris_service.moc"
