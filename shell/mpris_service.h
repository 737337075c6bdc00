#pragma once
// The player as the desktop's media controls see it: MPRIS 2 on the session
// bus, so media keys, a panel's player applet or playerctl reach it. The
// first process holds org.mpris.MediaPlayer2.LumaroRadio, a second one
// ".instance<pid>" after it. Without a session bus, or with no name to be
// had, nothing is offered and nothing fails. Window thread.

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace lumaro {

class TAppSession;
struct TPlayerState;

inline constexpr const char* kMprisPath = "/org/mpris/MediaPlayer2";
inline constexpr const char* kMprisRootInterface = "org.mpris.MediaPlayer2";
inline constexpr const char* kMprisPlayerInterface = "org.mpris.MediaPlayer2.Player";
inline constexpr const char* kMprisServiceName = "org.mpris.MediaPlayer2.LumaroRadio";

// The name of the station playing (field 0 of its record), or empty.
QString PlayingStationName(const TPlayerState& state);

// A stream title as a track: "Artist - Title" gives the artist and the title,
// with the station as the album; any other title keeps the station as its
// artist.
struct TMprisTrack {
    QString Title;
    QString Artist;
    QString Album; // empty: none
};
TMprisTrack TrackFromStreamTitle(const QString& stationName, const QString& streamTitle);

// Volume 0.0 .. 1.0 as the knob's 0 .. 100. A value out of range takes the
// nearer end; NaN leaves the knob at current.
int KnobFromMprisVolume(double volume, int current);

class TMprisService : public QObject {
    Q_OBJECT
public:
    // Offers the player on bus; session's window and layers outlive the service.
    explicit TMprisService(TAppSession& session, QDBusConnection bus = QDBusConnection::sessionBus());
    ~TMprisService() override;
    TMprisService(const TMprisService&) = delete;
    TMprisService& operator=(const TMprisService&) = delete;

    // The bus name held; empty when none.
    const QString& ServiceName() const { return serviceName_; }

    // What the two interfaces show.
    QString PlaybackStatus() const {
        return playing_ ? QStringLiteral("Playing") : QStringLiteral("Stopped");
    }
    const QVariantMap& Metadata() const { return metadata_; }
    double Volume() const;
    void SetVolume(double volume);

    // What the desktop asks. Each runs from the event loop after the call has
    // been answered, so a question it raises (a recording to stop) never
    // holds a caller up.
    void Raise();
    void Quit();
    void Play();
    void Pause();
    void PlayPause();
    void Stop();
    // The row after (step 1) or before (-1) the playing one in the results
    // view, as its mode shows it; with no row playing, the selected row.
    void PlayRowBeside(int step);

private:
    void PlayingShown(bool playing);
    void TitleShown(const QString& title);
    void VolumeShown();
    void PressPlayStop();
    void Changed(const char* interface, const QVariantMap& properties);

    TAppSession& session_;
    QDBusConnection bus_;
    QString serviceName_;
    bool playing_ = false;
    QVariantMap metadata_;
    QString station_, title_; // of the track in metadata_
    quint64 tracks_ = 0;      // tracks so far; numbers the track ids
};

} // namespace lumaro
