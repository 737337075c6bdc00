// Real recordings: a station from a loopback Icecast2 (started by the engine's
// end-to-end fixture) played by the playback controller on the real engine,
// recorded by the Rec switch through the real lame. Each file must decode as
// MP3 (ffprobe) and carry its title and comment tags (mutagen).

#include "recorder_view.h"
#include "tests/effects/shown_view.h"

#include "data/personal_lists.h"
#include "effects/effect_chain.h"
#include "engine/audio_engine.h"
#include "playback/playback_controller.h"
#include "recording/recording_files.h"
#include "tests/support/capture.h"
#include "tests/support/icecast_env.h"

#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace lumaro;
using namespace lumaro::testing;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

using test_support::Capture;
using test_support::Mp3Seconds;
using test_support::Quote;

// Title and comment tags as a real tag reader sees them, one per line.
std::string Tags(const fs::path& file) {
    return Capture("/usr/bin/python3 -c \"import mutagen.id3 as m, sys; t = m.ID3(sys.argv[1]); "
                   "print(t['TIT2'].text[0]); print(t.getall('COMM')[0].text[0])\" " +
                   Quote(file.string()) + " 2>&1");
}

class RealRecordingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(ice_.Port.empty()) << "the Icecast fixture did not start";
        ASSERT_TRUE(dir_.isValid());
        program_ = fs::path(dir_.path().toStdString());
        recordings_ = program_ / "LumaroRadioRecordings";
        fs::create_directories(recordings_);
        fs::current_path(program_);
        // composed as the program does: one state, the recorder as the gate,
        // the effect chain taking each new stream
        engine_ = std::make_unique<engine::AudioEngine>([] { return engine::MakeNullOutput(); });
        chain_ = std::make_unique<TEffectChain>(*engine_, *state_, knobs_);
        recorder_ =
            std::make_unique<TRecorder>(*engine_, *state_, window_, program_.string(), recordings_.string());
        controller_ = std::make_unique<TPlaybackController>(
            *engine_, TPlaybackPorts{window_, *recorder_, *chain_, window_}, recent_, state_);
        ASSERT_FALSE(controller_->InitAudioEngine(nullptr).EndProgram());
    }
    void TearDown() override {
        controller_.reset();
        if (engine_) engine_->BASS_Free();
        EXPECT_TRUE(WaitForConnectionWorkers(10s));
        fs::current_path(fs::temp_directory_path());
    }
    std::string Mount() const { return ice_.Url("/mp3"); }

    // Plays station line and waits until it sounds.
    void Play(const std::u16string& line) {
        controller_->PlayStation(line);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return engine_->BASS_ChannelIsActive(controller_->State().Stream.load()) ==
                           engine::BASS_ACTIVE_PLAYING &&
                       !controller_->State().UrlMenuBusy;
            },
            20000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return window_.status == u"Lumaro Test (mp3)"; }, 10000))
            << "the station's name from its headers";
    }
    // One recording by the Rec switch: on, until file holds some sound, off,
    // until lame has finished it.
    void Record(const fs::path& file) {
        recorder_->suiImageButton9Click();
        ASSERT_EQ(recorder_->State(), 1);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                std::error_code ec;
                return fs::file_size(file, ec) > 12000 && !ec;
            },
            20000))
            << file << " (wrote " << recorder_->LastFileName() << ")";
        recorder_->suiImageButton9Click();
        ASSERT_EQ(recorder_->State(), 0);
        ASSERT_TRUE(QTest::qWaitFor([&] { return Mp3Seconds(file) > 0.4; }, 20000)) << file;
    }

    const test_support::IcecastEnv ice_ = test_support::IcecastEnv::Read(ICECAST_STATE);
    QTemporaryDir dir_;
    fs::path program_, recordings_;
    std::unique_ptr<engine::AudioLibrary> engine_;
    RecorderWindow window_;
    TRecentList recent_;
    std::shared_ptr<TPlayerState> state_ = std::make_shared<TPlayerState>();
    ShownView knobs_;
    std::unique_ptr<TEffectChain> chain_;
    std::unique_ptr<TRecorder> recorder_;
    std::unique_ptr<TPlaybackController> controller_;
};

TEST_F(RealRecordingTest, TwoRecordingsOfAStationAreNumberedAndTagged) {
    Play(u"AC/DC: Live\tRock live\tRock\tAU\tEnglish\t" + WideFromAnsi(Mount()));
    const fs::path folder = recordings_ / "AC DC  Live";
    state_->TitleText = u"Live \"at\" Wembley";
    Record(folder / "recording_1.mp3");
    state_->TitleText = u"Encore";
    Record(folder / "recording_2.mp3");
    EXPECT_EQ(fs::current_path(), program_);
    EXPECT_EQ(Tags(folder / "recording_1.mp3"), "Live  at  Wembley\nRadio  Lumaro Test (mp3)\n");
    EXPECT_EQ(Tags(folder / "recording_2.mp3"), "Encore\nRadio  Lumaro Test (mp3)\n");
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(recordings_))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 0u) << "nothing lands beside the station folders";
}

TEST_F(RealRecordingTest, ABareUrlStationNumbersAfterTheFilesAlreadyThere) {
    const std::string url = Mount();
    Play(WideFromAnsi(url));
    const fs::path folder = recordings_ / ("http   127.0.0.1 " + ice_.Port + " mp3");
    struct NumberCase {
        std::vector<std::string> existing;
        std::string next;
    };
    const std::vector<NumberCase> cases = {
        {{}, "recording_1.mp3"},
        {{"recording_1.mp3", "recording_3.mp3"}, "recording_4.mp3"},
        {{"best of 2012.mp3"}, "recording_2013.mp3"},
        {{"recording_7.old.mp3"}, "recording_8.mp3"},
        {{"no digits.mp3"}, "recording_1.mp3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.next);
        fs::remove_all(folder);
        if (!c.existing.empty()) fs::create_directories(folder);
        for (const auto& name : c.existing)
            std::ofstream(folder / name).put('x');
        state_->TitleText = u"Tone";
        Record(folder / c.next);
        EXPECT_EQ(Tags(folder / c.next), "Tone\nRadio  Lumaro Test (mp3)\n");
    }
}

TEST_F(RealRecordingTest, ClosingWhileRecordingAsksAndNoKeepsTheFileGrowing) {
    Play(u"Jazz\tD\tS\tC\tL\t" + WideFromAnsi(Mount()));
    const fs::path file = recordings_ / "Jazz" / "recording_1.mp3";
    recorder_->suiImageButton9Click();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            std::error_code ec;
            return fs::file_size(file, ec) > 4000 && !ec;
        },
        20000));
    window_.answerYes = false;
    EXPECT_FALSE(recorder_->FormCloseQuery());
    const auto size = fs::file_size(file);
    EXPECT_TRUE(QTest::qWaitFor([&] { return fs::file_size(file) > size + 8000; }, 20000))
        << "still recording";
    recorder_->suiImageButton9Click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return Mp3Seconds(file) > 0.4; }, 20000));
}

} // namespace
