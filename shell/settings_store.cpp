#include "shell/settings_store.h"

#include "shell/app_session.h"
#include "shell/settings_options.h"
#include "shell/unit1.h"
#include "shell/unit2.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace lumaro {

namespace {

constexpr const char* kSettingsFile = "settings.dat";

struct TKnobValue {
    TEffectKnob Knob;
    int TSettings::*Value;
};
// the knobs in the file's order
constexpr TKnobValue kKnobValues[] = {
    {TEffectKnob::Volume, &TSettings::Volume}, {TEffectKnob::Pan, &TSettings::Pan},
    {TEffectKnob::Reverb, &TSettings::Reverb}, {TEffectKnob::Bass, &TSettings::Bass},
    {TEffectKnob::Middle, &TSettings::Middle}, {TEffectKnob::Treble, &TSettings::Treble},
};

} // namespace

void TSettingsStore::LoadSettings(TSettingsOptions& options) {
    const QString path = QString::fromStdString(session_.Folders().ConfigFile(kSettingsFile));
    if (!QFileInfo::exists(path)) return;
    const std::optional<TSettings> read = LoadSettingsFile(path.toStdString(), TSettings{});
    if (!read) return;
    lines_ = read;
    const TSettings& s = *read;

    for (const TKnobValue& k : kKnobValues)
        session_.MainWindow().EffectsPanel().TurnKnob(k.Knob, s.*k.Value);
    options.MinimizeToTray = s.MinimizeToTray;
    options.StartWithWindows = s.StartWithWindows;
    options.AutoPlay = s.AutoPlay;
    options.RememberPosition = s.RememberPosition;
    options.ReservedFlag = s.ReservedFlag;
    // The window is centred when first shown; the position read takes effect
    // through the activation rule.
    const QString folder = QString::fromStdString(s.RecordingsFolder);
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        session_.Recorder().SetRecordingsFolder(s.RecordingsFolder);
    options.TimeoutSeconds = std::clamp(s.TimeoutSeconds, kTimeoutMinimum, kTimeoutMaximum);
    session_.Player().SetTimeoutSeconds(options.TimeoutSeconds);
    session_.Player().SetAutoPlay(options.AutoPlay == 1);
    session_.TrayIcon().SetMinimizeToTray(options.MinimizeToTray == 1);
}

TSettings TSettingsStore::LiveValues() const {
    TAppSession& session = session_;
    TSettings s;
    for (const TKnobValue& k : kKnobValues)
        s.*k.Value = session.Effects().Position(k.Knob);
    const TSettingsOptions& options = session.Settings().Options();
    s.MinimizeToTray = options.MinimizeToTray;
    s.StartWithWindows = options.StartWithWindows;
    s.AutoPlay = options.AutoPlay;
    s.RememberPosition = options.RememberPosition;
    s.ReservedFlag = options.ReservedFlag;
    // written whether or not the position is remembered
    const QPoint position = session.MainWindow().NormalPosition();
    s.WindowLeft = position.x();
    s.WindowTop = position.y();
    s.RecordingsFolder = session.Recorder().RecordingsFolder();
    s.TimeoutSeconds = options.TimeoutSeconds;
    return s;
}

void TSettingsStore::SaveSettings() {
    const TSettings live = LiveValues();
    if (SaveSettingsFile(session_.Folders().ConfigFile(kSettingsFile), live)) lines_ = live;
}

std::optional<QPoint> TSettingsStore::RememberedPosition() const {
    if (!lines_ || !lines_->WindowLeft || !lines_->WindowTop) return std::nullopt;
    return QPoint(*lines_->WindowLeft, *lines_->WindowTop);
}

} // namespace lumaro
