// The recorder against the engine fake, in real folders: where each recording
// goes and what the encoder is started with, the Rec switch, the blinking
// label, the close question, and the questions of Play/Stop and of a new
// station while recording (through the playback controller).

#include "recorder_view.h"

#include "tests/playback/fake_audio_library.h"

#include "data/personal_lists.h"
#include "playback/playback_controller.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace lumaro;
using namespace lumaro::testing;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

// The fake, noting the current directory each encoder starts in.
class EncoderFake : public FakeAudioLibrary {
public:
    std::vector<std::string> startDirs;
    HENCODE BASS_Encode_Start(DWORD h, const char* cmdline, DWORD flags, ENCODEPROC* proc,
                              void* user) override {
        startDirs.push_back(fs::current_path().string());
        return FakeAudioLibrary::BASS_Encode_Start(h, cmdline, flags, proc, user);
    }
};

class RecorderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        program_ = fs::path(dir_.path().toStdString()) / "program";
        recordings_ = program_ / "LumaroRadioRecordings";
        fs::create_directories(recordings_);
        fs::current_path(program_);
        fake_.SetScript("http://radio/1", {});
        rec_ = std::make_unique<TRecorder>(fake_, *state_, window_, program_.string(), recordings_.string());
    }
    void TearDown() override { fs::current_path(fs::temp_directory_path()); }

    // A playing stream of station line, as the connection worker leaves it.
    HSTREAM Playing(const std::u16string& line) {
        state_->StationLine = line;
        const HSTREAM h = fake_.BASS_StreamCreateURL("http://radio/1", 0, 0, nullptr, nullptr);
        fake_.BASS_ChannelPlay(h, kFalse);
        state_->Stream = h;
        return h;
    }
    static void Touch(const fs::path& p) { std::ofstream(p).put('x'); }

    QTemporaryDir dir_;
    fs::path program_, recordings_;
    EncoderFake fake_;
    // The state playback would leave (the tests stand for the controller).
    std::shared_ptr<TPlayerState> state_ = std::make_shared<TPlayerState>();
    RecorderWindow window_;
    std::unique_ptr<TRecorder> rec_;
};

struct FolderCase {
    const char* what;
    std::u16string line; // the station line
    std::string folder;  // expected station folder inside the recordings folder ("" = that folder)
    std::vector<std::string> existing; // files already there (names ending in "/" are folders)
    std::string file;                  // the file the encoder is told to write
};

TEST_F(RecorderTest, EachRecordingGoesToTheNextNumberInTheStationsFolder) {
    const std::vector<FolderCase> cases = {
        {"first recording of a station",
         u"AC/DC: Live\tD\tS\tC\tL\thttp://radio/1",
         "AC DC  Live",
         {},
         "recording_1.mp3"},
        {"gaps are not filled",
         u"Jazz\tD\tS\tC\tL\thttp://radio/1",
         "Jazz",
         {"recording_1.mp3", "recording_3.mp3"},
         "recording_4.mp3"},
        {"any digits count",
         u"Jazz\tD\tS\tC\tL\thttp://radio/1",
         "Jazz",
         {"best of 2012.mp3"},
         "recording_2013.mp3"},
        {"only the part before the first dot",
         u"Jazz\tD\tS\tC\tL\thttp://radio/1",
         "Jazz",
         {"recording_7.old.mp3"},
         "recording_8.mp3"},
        {"no digits count 0", u"Jazz\tD\tS\tC\tL\thttp://radio/1", "Jazz", {"live.mp3"}, "recording_1.mp3"},
        {"more digits than 32 bits count 0",
         u"Jazz\tD\tS\tC\tL\thttp://radio/1",
         "Jazz",
         {"recording_99999999999.mp3", "recording_2.mp3"},
         "recording_3.mp3"},
        {"folders and other files do not count",
         u"Jazz\tD\tS\tC\tL\thttp://radio/1",
         "Jazz",
         {"take 9.mp3/", "notes 12.txt"},
         "recording_1.mp3"},
        {"spaces around the name go",
         u"  Spaced Out \tD\tS\tC\tL\thttp://radio/1",
         "Spaced Out",
         {},
         "recording_1.mp3"},
        {"a bare URL", u"http://127.0.0.1:8000/mp3", "http   127.0.0.1 8000 mp3", {}, "recording_1.mp3"},
        {"a name of dots stays inside",
         u"..\tD\tS\tC\tL\thttp://radio/1",
         "",
         {"recording_5.mp3"},
         "recording_6.mp3"},
        {"a name of spaces", u"   \tD\tS\tC\tL\thttp://radio/1", "", {}, "recording_1.mp3"},
    };
    for (const FolderCase& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(recordings_);
        fs::create_directories(recordings_ / c.folder);
        for (const std::string& name : c.existing) {
            if (name.ends_with('/'))
                fs::create_directories(recordings_ / c.folder / name.substr(0, name.size() - 1));
            else
                Touch(recordings_ / c.folder / name);
        }
        fake_.startDirs.clear();
        const HSTREAM h = Playing(c.line);
        const size_t before = fake_.CallCount("BASS_Encode_Start");
        rec_->suiImageButton9Click();
        ASSERT_EQ(fake_.CallCount("BASS_Encode_Start"), before + 1);
        const auto start = fake_.Calls("BASS_Encode_Start").back();
        EXPECT_EQ(start.handle, h);
        EXPECT_EQ(start.value, 0x40004);
        EXPECT_TRUE(start.text.starts_with("lame - " + c.file + " --tt ")) << start.text;
        ASSERT_EQ(fake_.startDirs.size(), 1u);
        EXPECT_EQ(fs::path(fake_.startDirs[0]), fs::canonical(recordings_ / c.folder));
        EXPECT_EQ(fs::current_path(), program_) << "back in the program directory";
        EXPECT_EQ(rec_->LastFileName(), c.file);
        rec_->suiImageButton9Click(); // stop
    }
}

TEST_F(RecorderTest, TheCommandLineCarriesTitleAndStationMadeSafe) {
    Playing(u"Wembley\tD\tS\tC\tL\thttp://radio/1");
    // the title and status lines as playback showed them
    state_->TitleText = u"Live \"at\" Wembley: 1986?";
    state_->StatusText = u" Rock/Pop <FM> ";
    rec_->suiImageButton9Click();
    EXPECT_EQ(rec_->LastCommandLine(),
              "lame - recording_1.mp3 --tt \"Live  at  Wembley  1986 \" --tc \"Radio  Rock Pop  FM \"");
    // The encoder of a previous recording is ended first.
    const auto calls = fake_.Calls();
    size_t stop = calls.size(), start = calls.size();
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].name == "BASS_Encode_Stop" && stop == calls.size()) stop = i;
        if (calls[i].name == "BASS_Encode_Start") start = i;
    }
    EXPECT_LT(stop, start);
    // the station's name from the station line makes the folder
    EXPECT_TRUE(fs::is_directory(recordings_ / "Wembley"));
}

TEST_F(RecorderTest, AMissingRecordingsFolderIsMadeAtTheFirstRecording) {
    fs::remove_all(recordings_);
    Playing(u"Jazz\tD\tS\tC\tL\thttp://radio/1");
    rec_->suiImageButton9Click();
    ASSERT_EQ(fake_.startDirs.size(), 1u);
    EXPECT_EQ(fs::path(fake_.startDirs[0]), fs::canonical(recordings_ / "Jazz"));
    EXPECT_EQ(fs::current_path(), program_);
}

TEST_F(RecorderTest, ARecordingsFolderThatCannotBeMadeLeavesTheFileBesideTheProgram) {
    fs::remove_all(recordings_);
    { std::ofstream(recordings_) << "a file where the folder should be"; }
    Playing(u"Jazz\tD\tS\tC\tL\thttp://radio/1");
    rec_->suiImageButton9Click();
    ASSERT_EQ(fake_.startDirs.size(), 1u);
    EXPECT_EQ(fs::path(fake_.startDirs[0]), program_ / "Jazz");
    EXPECT_EQ(fs::current_path(), program_);
    fs::remove(recordings_);
}

TEST_F(RecorderTest, RecSwitchActsOnlyOnAnActiveStreamAndBlinksWhileOn) {
    // Nothing plays: nothing changes.
    rec_->suiImageButton9Click();
    EXPECT_EQ(rec_->State(), 0);
    EXPECT_EQ(fake_.CallCount("BASS_Encode_Start"), 0u);
    EXPECT_FALSE(window_.recPicture);

    const HSTREAM h = Playing(u"Jazz\tD\tS\tC\tL\thttp://radio/1");
    fake_.SetActive(h, BASS_ACTIVE_STALLED); // stalled still counts as active
    rec_->suiImageButton9Click();
    EXPECT_EQ(rec_->State(), 1);
    EXPECT_TRUE(window_.recPicture);
    rec_->ToggleRecordingLabel();
    EXPECT_TRUE(rec_->LabelVisible());
    rec_->ToggleRecordingLabel();
    EXPECT_FALSE(rec_->LabelVisible());
    rec_->ToggleRecordingLabel();

    const size_t stops = fake_.CallCount("BASS_Encode_Stop");
    rec_->suiImageButton9Click();
    EXPECT_EQ(rec_->State(), 0);
    EXPECT_FALSE(window_.recPicture);
    EXPECT_FALSE(rec_->LabelVisible());
    EXPECT_EQ(window_.labelShown.back(), false);
    ASSERT_EQ(fake_.CallCount("BASS_Encode_Stop"), stops + 1);
    EXPECT_EQ(fake_.Calls("BASS_Encode_Stop").back().handle, h);
    rec_->ToggleRecordingLabel();
    EXPECT_FALSE(rec_->LabelVisible()) << "idle: the label stays hidden";

    // A stream that has stopped: the switch does nothing.
    fake_.SetActive(h, BASS_ACTIVE_STOPPED);
    rec_->suiImageButton9Click();
    EXPECT_EQ(rec_->State(), 0);
}

TEST_F(RecorderTest, ClosingWhileRecordingAsksAndNoKeepsRecording) {
    EXPECT_TRUE(rec_->FormCloseQuery()) << "idle: closes without asking";
    EXPECT_EQ(window_.questions, 0);
    Playing(u"Jazz\tD\tS\tC\tL\thttp://radio/1");
    rec_->suiImageButton9Click();
    const size_t stops = fake_.CallCount("BASS_Encode_Stop");
    window_.answerYes = false;
    EXPECT_FALSE(rec_->FormCloseQuery());
    EXPECT_EQ(window_.questions, 1);
    EXPECT_EQ(rec_->State(), 1);
    EXPECT_EQ(fake_.CallCount("BASS_Encode_Stop"), stops);
    window_.answerYes = true;
    EXPECT_TRUE(rec_->FormCloseQuery());
    EXPECT_EQ(window_.questions, 2);

    rec_->Label22Click();
    EXPECT_EQ(window_.openedFolders, std::vector<std::string>{recordings_.string()});
}

// Play/Stop and a new station while recording, through the playback controller.
class RecorderWithController : public RecorderTest {
protected:
    void SetUp() override {
        RecorderTest::SetUp();
        fake_.SetScript("http://a/1", {});
        fake_.SetScript("http://b/1", {});
        // as the composition root does: one state, the recorder as the gate
        controller_ = std::make_unique<TPlaybackController>(
            fake_, TPlaybackPorts{window_, *rec_, window_, window_}, recent_, state_);
    }
    void TearDown() override {
        controller_.reset();
        fake_.ReleaseAll();
        EXPECT_TRUE(WaitForConnectionWorkers(10s));
        RecorderTest::TearDown();
    }
    // Plays a station and starts recording it.
    HSTREAM PlayAndRecord(const std::u16string& line, const std::string& url) {
        controller_->PlayStation(line);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                const DWORD h = fake_.HandleFor(url);
                return h && fake_.WasPlayed(h) && !fake_.IsFreed(h) && RunningConnectionWorkers() == 0 &&
                       !controller_->State().UrlMenuBusy;
            },
            10000));
        rec_->suiImageButton9Click();
        EXPECT_EQ(rec_->State(), 1);
        return fake_.HandleFor(url);
    }
    TRecentList recent_;
    std::unique_ptr<TPlaybackController> controller_;
};

TEST_F(RecorderWithController, StopAndANewStationAskFirstAndNoKeepsRecording) {
    const std::u16string a = u"A\tD\tS\tC\tL\thttp://a/1", b = u"B\tD\tS\tC\tL\thttp://b/1";
    const HSTREAM h = PlayAndRecord(a, "http://a/1");
    const size_t stops = fake_.CallCount("BASS_Encode_Stop");
    window_.answerYes = false;

    controller_->PlayStation(b);
    EXPECT_EQ(window_.questions, 1);
    controller_->suiImageButton8Click(); // Play/Stop: stop
    EXPECT_EQ(window_.questions, 2);
    EXPECT_TRUE(controller_->State().PlayActive);
    EXPECT_EQ(rec_->State(), 1);
    EXPECT_FALSE(fake_.IsFreed(h));
    EXPECT_EQ(fake_.CallCount("BASS_Encode_Stop"), stops);
    EXPECT_EQ(fake_.HandleFor("http://b/1"), 0u) << "no worker started for B";

    // Yes to the stop: the recording ends with it, the stream is released.
    window_.answerYes = true;
    controller_->suiImageButton8Click();
    EXPECT_EQ(rec_->State(), 0);
    EXPECT_FALSE(window_.recPicture);
    EXPECT_GT(fake_.CallCount("BASS_Encode_Stop"), stops);
    EXPECT_TRUE(fake_.IsFreed(h));

    // Recording again, then Yes to a new station.
    const HSTREAM h2 = PlayAndRecord(a, "http://a/1");
    controller_->PlayStation(b);
    EXPECT_EQ(window_.questions, 4);
    EXPECT_EQ(rec_->State(), 0);
    EXPECT_TRUE(fake_.IsFreed(h2));
    EXPECT_TRUE(QTest::qWaitFor([&] { return fake_.HandleFor("http://b/1") != 0; }, 10000));
}

// The engine cannot move an encoder to another stream: after a drop and a
// reconnect the recording goes on into the station's next numbered file.
TEST_F(RecorderWithController, ARecordingGoesOnAfterAReconnectIntoTheNextFile) {
    const HSTREAM h = PlayAndRecord(u"A\tD\tS\tC\tL\thttp://a/1", "http://a/1");
    EXPECT_EQ(rec_->LastFileName(), "recording_1.mp3");
    Touch(recordings_ / "A" / "recording_1.mp3"); // what lame has written by now

    fake_.SetActive(h, BASS_ACTIVE_STOPPED); // the server closed the stream
    controller_->Timer1Timer();
    ASSERT_TRUE(controller_->ReconnectWaiting());
    EXPECT_EQ(rec_->State(), 1) << "the switch stays on through the wait";
    controller_->ReconnectNow();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const DWORD now = fake_.HandleFor("http://a/1");
            return now != h && fake_.WasPlayed(now) && RunningConnectionWorkers() == 0 &&
                   !controller_->State().UrlMenuBusy;
        },
        10000));
    const HSTREAM again = fake_.HandleFor("http://a/1");
    EXPECT_EQ(rec_->State(), 1);
    EXPECT_TRUE(window_.recPicture);
    EXPECT_EQ(window_.questions, 0);
    EXPECT_EQ(fake_.Calls("BASS_Encode_Start").back().handle, again);
    EXPECT_EQ(rec_->LastFileName(), "recording_2.mp3");
    EXPECT_EQ(fake_.CallCount("BASS_Encode_Start"), 2u);
}

TEST_F(RecorderWithController, TheStatusTimerBlinksTheLabelEverySixTicks) {
    PlayAndRecord(u"A\tD\tS\tC\tL\thttp://a/1", "http://a/1");
    std::vector<bool> seen;
    for (int tick = 0; tick < 24; ++tick) {
        controller_->Timer1Timer();
        seen.push_back(rec_->LabelVisible());
    }
    // The counter starts wherever the timer left it; from the first flip on,
    // the label keeps each state for six ticks.
    size_t first = 0;
    while (first < seen.size() && seen[first] == seen[0])
        ++first;
    ASSERT_GE(first, 1u);
    ASSERT_LE(first, 6u);
    for (size_t i = first; i + 6 <= seen.size(); i += 6)
        for (size_t j = i; j < i + 6; ++j)
            EXPECT_EQ(seen[j], seen[i]) << "tick " << j;
}

} // namespace
