#include "shell/app_session.h"

#include "data/scrambled_list_file.h"
#include "shell/unit1.h"
#include "shell/unit2.h"
#include "shell/unit3.h"
#include "shell/unit4.h"

#include <QCoreApplication>
#include <QDir>

#include <chrono>

namespace lumaro {

namespace {

// How long closing waits for connection workers still inside the engine.
constexpr std::chrono::milliseconds kWorkerGrace{2000};

} // namespace

TAppSession::TAppSession(const QString& programDir, const QString& firstArgument,
                         std::unique_ptr<engine::AudioLibrary> engine, std::shared_ptr<TPlayerState> state)
    : TAppSession(TAppFolders::Find(programDir, QCoreApplication::applicationFilePath()), firstArgument,
                  std::move(engine), std::move(state)) {}

TAppSession::TAppSession(const TAppFolders& folders, const QString& firstArgument,
                         std::unique_ptr<engine::AudioLibrary> engine, std::shared_ptr<TPlayerState> state)
    : folders_(folders), firstArgument_(firstArgument),
      engine_(engine ? std::move(engine) : engine::MakeAudioEngine()), hotKey_(MakeGlobalHotKey()),
      tray_(MakeTrayIcon()), state_(state ? std::move(state) : std::make_shared<TPlayerState>()) {
    // A portable program keeps its recordings folder ready beside it and works
    // in its own folder; an installed one makes its folders when it first
    // writes into them and leaves the current directory where it was. A
    // recordings folder that cannot be made leaves recording to fail later.
    if (folders_.Portable) {
        QDir().mkpath(folders_.RecordingsFolder);
        QDir::setCurrent(folders_.ProgramDir);
    }

    // A list file that exists but cannot be read leaves that list empty.
    for (TPersonalList* list :
         {static_cast<TPersonalList*>(&favorites_), static_cast<TPersonalList*>(&recent_)}) {
        try {
            list->LoadIfPresent();
        } catch (const ListFileError&) {
        }
    }
    catalogue_.LoadCatalogue(folders_.CatalogueFile.toStdString());
    catalogue_.BuildAnsiCopy();
    catalogue_.PrepareSearchCopy(folders_.DataFile("utf8stations.dat"));

    form1_ = std::make_unique<TForm1>(*this);
    chain_ = std::make_unique<TEffectChain>(*engine_, *state_, form1_->EffectsPanel());
    recorder_ = std::make_unique<TRecorder>(*engine_, *state_, form1_->RecorderPanel(),
                                            QDir::currentPath().toStdString(),
                                            folders_.RecordingsFolder.toStdString());
    player_ = std::make_unique<TPlaybackController>(
        *engine_, TPlaybackPorts{form1_->Display(), *recorder_, *chain_, form1_->Browser()}, recent_, state_);
    wakeWatch_ = std::make_unique<TWakeWatch>([this] { player_->ReconnectNow(); });
    mpris_ = std::make_unique<TMprisService>(*this);
    titleNotifier_ = std::make_unique<TTitleNotifier>();
    // New titles while the window is out of sight; failure texts shown while
    // stopped are no titles.
    QObject::connect(&form1_->Display(), &TPlaybackDisplay::titleShown, titleNotifier_.get(),
                     [this](const QString& title) {
                         titleNotifier_->TitleShown(PlayingStationName(*state_),
                                                    state_->PlayActive ? title : QString(),
                                                    form1_->isHidden() || form1_->isMinimized());
                     });
    form1_->FormCreate();
    form2_ = std::make_unique<TForm2>(*this, form1_.get());
    form3_ = std::make_unique<TForm3>(catalogue_.Count(), form1_.get());
    form4_ = std::make_unique<TForm4>(form1_.get());
}

TAppSession::~TAppSession() {
    form1_->FormClose();
    // The members go in the reverse order of their making, the engine last.
    // A worker still inside the engine (a connect may take up to 30 s) keeps
    // it: the process is ending, and the engine stays rather than vanish
    // under the worker.
    if (RunningConnectionWorkers() != 0) (void)engine_.release();
}

bool TAppSession::RegisterHotKey(const THotKey& hotKey) {
    return hotKey_->Register(hotKey, [this] { form1_->HotKeyManager1HotKeyPressed(); });
}

void TAppSession::Close() {
    if (closed_) return;
    closed_ = true;
    engine_->BASS_Free(); // ends every stream, and a recording with it
    // Workers and engine callbacks may be blocked in a call into this thread;
    // ending the controller's traffic discards those calls and lets them go,
    // so the wait below never waits on itself.
    player_->Shutdown();
    WaitForConnectionWorkers(kWorkerGrace);
}

} // namespace lumaro
