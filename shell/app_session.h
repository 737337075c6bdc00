#pragma once
// The composition root: makes the audio engine, the program's data (the
// catalogue with its copies, Favorites, Recent), the playback state, the main
// window, the effect chain, the recorder, the playback controller and the
// other windows, in the order of start-up, hands each what it depends on and
// takes them apart in reverse. It outlives every window; windows and layers
// hold references, never ownership. Window thread.

#include "data/personal_lists.h"
#include "data/station_catalogue.h"
#include "effects/effect_chain.h"
#include "engine/audio_library.h"
#include "playback/playback_controller.h"
#include "playback/wake_watch.h"
#include "recording/recorder.h"
#include "shell/app_folders.h"
#include "shell/global_hot_key.h"
#include "shell/mpris_service.h"
#include "shell/settings_store.h"
#include "shell/title_notifier.h"
#include "shell/tray_icon.h"

#include <QString>

#include <functional>
#include <memory>

namespace lumaro {

class TForm1;
class TForm2;
class TForm3;
class TForm4;

class TAppSession {
public:
    // folders: where the program's files live; a portable program directory
    // becomes the current directory. firstArgument: the first command-line
    // argument, or empty. engine: the audio engine to play through; empty
    // takes the real one. state: the playback state to start from; empty
    // makes a fresh one.
    TAppSession(const TAppFolders& folders, const QString& firstArgument,
                std::unique_ptr<engine::AudioLibrary> engine = {}, std::shared_ptr<TPlayerState> state = {});
    // The folders found for programDir, the directory of the executable.
    TAppSession(const QString& programDir, const QString& firstArgument,
                std::unique_ptr<engine::AudioLibrary> engine = {}, std::shared_ptr<TPlayerState> state = {});
    // Close, then every part in the reverse order of its making. The engine
    // goes last, and only once no connection worker is inside it any more.
    ~TAppSession();
    TAppSession(const TAppSession&) = delete;
    TAppSession& operator=(const TAppSession&) = delete;

    // The closing sequence below the window: the engine released (a running
    // recording ends whole), the controller's traffic ended, and a short wait
    // for connection workers still inside the engine. Idempotent.
    void Close();

    const QString& ProgramDir() const { return folders_.ProgramDir; }
    const TAppFolders& Folders() const { return folders_; }
    const QString& FirstArgument() const { return firstArgument_; }

    engine::AudioLibrary& Engine() { return *engine_; }
    TStationCatalogue& Catalogue() { return catalogue_; }
    TFavoritesList& Favorites() { return favorites_; }
    TRecentList& Recent() { return recent_; }
    const TPlayerState& PlayerState() const { return *state_; }
    TPlaybackController& Player() { return *player_; }
    TEffectChain& Effects() { return *chain_; }
    TRecorder& Recorder() { return *recorder_; }
    TGlobalHotKey& HotKey() { return *hotKey_; }
    // Registers hotKey as the global hot key (releasing the one held), its
    // presses handled by the main window; false when it could not be.
    bool RegisterHotKey(const THotKey& hotKey);
    TTrayIcon& TrayIcon() { return *tray_; }
    TMprisService& Mpris() { return *mpris_; }
    TTitleNotifier& TitleNotifier() { return *titleNotifier_; }
    TSettingsStore& SettingsStore() { return settingsStore_; }

    // What ends the process once the main window has closed (the program's
    // main routine sets it; without one nothing ends).
    void SetProcessEnd(std::function<void()> end) { processEnd_ = std::move(end); }
    void EndProcess() {
        if (processEnd_) processEnd_();
    }

    TForm1& MainWindow() { return *form1_; }
    TForm2& Settings() { return *form2_; }
    TForm3& About() { return *form3_; }
    TForm4& StationInfo() { return *form4_; }

private:
    // Declared in the order they are made.
    const TAppFolders folders_;
    const QString firstArgument_;
    std::unique_ptr<engine::AudioLibrary> engine_;
    std::unique_ptr<TGlobalHotKey> hotKey_;
    std::unique_ptr<TTrayIcon> tray_;
    TSettingsStore settingsStore_{*this};
    std::function<void()> processEnd_;
    TFavoritesList favorites_{folders_.DataFile("fav.dat")};
    TRecentList recent_{folders_.DataFile("rec.dat")};
    TStationCatalogue catalogue_;
    std::shared_ptr<TPlayerState> state_;
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TEffectChain> chain_;
    std::unique_ptr<TRecorder> recorder_;
    std::unique_ptr<TPlaybackController> player_;
    std::unique_ptr<TWakeWatch> wakeWatch_; // network back or resume: a waiting reconnect runs now
    std::unique_ptr<TMprisService> mpris_;  // the desktop's media controls
    std::unique_ptr<TTitleNotifier> titleNotifier_;
    std::unique_ptr<TForm2> form2_;
    std::unique_ptr<TForm3> form3_;
    std::unique_ptr<TForm4> form4_;
    bool closed_ = false;
};

} // namespace lumaro
