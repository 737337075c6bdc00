#include "shell/app_session.h"

#include "data/scrambled_list_file.h"
#include "shell/unit1.h"
#include "shell/unit2.h"
#include "shell/unit3.h"
#include "shell/unit4.h"

#include <QDir>

#include <chrono>

namespace lumaro {

namespace {

// How long closing waits for connection workers still inside the engine.
constexpr std::chrono::milliseconds kWorkerGrace{2000};

std::string RecordingsFolderOf(const QString& programDir) {
    return QDir(programDir).filePath("LumaroRadioRecordings").toStdString();
}

} // namespace

TAppSession::TAppSession(const QString& programDir, const QString& firstArgument,
                         std::unique_ptr<engine::AudioLibrary> engine, std::shared_ptr<TPlayerState> state)
    : programDir_(programDir), firstArgument_(firstArgument),
      engine_(engine ? std::move(engine) : engine::MakeAudioEngine()), hotKey_(MakeGlobalHotKey()),
      tray_(MakeTrayIcon()), state_(state ? std::move(state) : std::make_shared<TPlayerState>()) {
    // a recordings folder that cannot be made leaves recording to fail later
    QDir().mkpath(QString::fromStdString(RecordingsFolderOf(programDir_)));
    QDir::setCurrent(programDir_);

    // A list file that exists but cannot be read leaves that list empty.
    for (TPersonalList* list :
         {static_cast<TPersonalList*>(&favorites_), static_cast<TPersonalList*>(&recent_)}) {
        try {
            list->LoadIfPresent();
        } catch (const ListFileError&) {
        }
    }
    catalogue_.LoadCatalogue("stations.dat");
    catalogue_.BuildAnsiCopy();
    catalogue_.PrepareSearchCopy("utf8stations.dat");

    form1_ = std::make_unique<TForm1>(*this);
    chain_ = std::make_unique<TEffectChain>(*engine_, *state_, form1_->EffectsPanel());
    recorder_ = std::make_unique<TRecorder>(*engine_, *state_, form1_->RecorderPanel(),
                                            programDir_.toStdString(), RecordingsFolderOf(programDir_));
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
