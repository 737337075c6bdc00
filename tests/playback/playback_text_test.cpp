// The parts of playback that are plain functions of their input: error texts,
// engine start-up, header and metadata parsing, the level meter, the URL menu,
// the scrolling line, and what each status message does to the display.

#include "fake_audio_library.h"
#include "recording_view.h"

#include "data/personal_lists.h"
#include "playback/audio_engine_setup.h"
#include "playback/playback_controller.h"
#include "playback/status_display.h"
#include "playback/stream_metadata.h"
#include "playback/url_menu.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumaro;
using namespace lumaro::testing;

namespace {

TEST(AudioErrorTexts, TextsByCodeWithUnknownOutsideTheTable) {
    const struct {
        int code;
        const char* text;
    } cases[] = {
        {-1, "Some other mystery error"},
        {0, "All is OK"},
        {3, "Can't find a free sound driver"},
        {8, "BASS_Init has not been successfully called"},
        {10, "Unknown error"},
        {13, "Unknown error"},
        {14, "Already initialized/paused/whatever"},
        {32, "No internet connection could be opened"},
        {38, "The channel is a \"decoding channel\""},
        {40, "Connection timedout"},
        {44, "Codec is not available/supported"},
        {45, "Unknown error"},
        {-2, "Unknown error"},
        {1000000, "Unknown error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(AudioErrorText(c.code), c.text);
    }
    EXPECT_EQ(AudioErrorMessage("Can't initialize device", 3),
              "Can't initialize device\r\n(error code: Can't find a free sound driver)");
}

TEST(InitAudioEngine, StartsInOrderAndReportsEachFailure) {
    int window = 0;
    {
        FakeAudioLibrary fake;
        const TEngineStartResult result = InitAudioEngine(fake, &window);
        EXPECT_FALSE(result.EndProgram());
        std::vector<std::string> sequence;
        for (const auto& c : fake.Calls()) {
            std::string entry = c.name;
            if (c.name == "BASS_PluginLoad") entry += " " + c.text;
            if (c.name == "BASS_SetConfig")
                entry += " " + std::to_string(c.handle) + "=" + std::to_string(c.value);
            if (c.name == "BASS_Init") entry += " " + c.text;
            sequence.push_back(entry);
        }
        const std::vector<std::string> expected = {
            "BASS_Free",
            "BASS_GetVersion",
            "BASS_Init -1/44100/0",
            "BASS_PluginLoad bass_aac.dll",
            "BASS_PluginLoad basswma.dll",
            "BASS_PluginLoad bassenc.dll",
            "BASS_PluginLoad bassopus.dll",
            "BASS_PluginLoad basswebm.dll",
            "BASS_PluginLoad bassflac.dll",
            "BASS_PluginLoad basshls.dll",
            "BASS_PluginLoad bass_ac3.dll",
            "BASS_PluginLoad bass_mpc.dll",
            "BASS_PluginLoad bassdsd.dll",
            "BASS_PluginLoad basswv.dll",
            "BASS_SetConfig 21=1",
            "BASS_SetConfig 9=1",
            "BASS_SetConfig 21=1",
            "BASS_SetConfig 15=0",
        };
        EXPECT_EQ(sequence, expected);
        EXPECT_EQ(fake.Calls("BASS_Init")[0].value,
                  static_cast<long long>(reinterpret_cast<std::uintptr_t>(&window)));
    }
    {
        FakeAudioLibrary fake;
        fake.version = 0x02050000;
        const TEngineStartResult result = InitAudioEngine(fake, &window);
        EXPECT_EQ(result.Result, TEngineStartResult::Outcome::WrongVersion);
        EXPECT_TRUE(result.EndProgram());
        EXPECT_EQ(result.Message, "An incorrect version of BASS.DLL was loaded");
        EXPECT_EQ(fake.CallCount("BASS_Init"), 0u);
    }
    {
        FakeAudioLibrary fake;
        fake.initFails = true;
        const TEngineStartResult result = InitAudioEngine(fake, &window);
        EXPECT_EQ(result.Result, TEngineStartResult::Outcome::NoDevice);
        EXPECT_TRUE(result.EndProgram());
        EXPECT_EQ(result.Message, "Can't initialize device\r\n(error code: Can't find a free sound driver)");
        EXPECT_EQ(fake.CallCount("BASS_PluginLoad"), 0u);
    }
}

TEST(StreamHeaders, PrefixesDecideNameAndBitrate) {
    const struct {
        const char* name;
        std::string block;
        bool single;
        std::vector<std::pair<int, std::string>> messages;
    } cases[] = {
        {"icy name in UTF-8 and bit rate",
         TagList({"ICY 200 OK", "icy-name:Radio \xC3\x9C", "icy-br:128"}),
         false,
         {{kStatusName, "Radio \xC3\x9C"}, {kStatusBitrate, "bitrate: 128"}}},
        {"nothing trimmed after the prefix", TagList({"icy-name: Jazz"}), false, {{kStatusName, " Jazz"}}},
        {"prefixes are case-sensitive", TagList({"ICY-NAME:Loud", "Icy-Br:64"}), false, {}},
        {"WMA-style title and bitrate",
         TagList({"title=Night", "bitrate=96000"}),
         false,
         {{kStatusName, "=Night"}, {kStatusBitrate, "bitrate: =96000"}}},
        {"every match sends, in order",
         TagList({"icy-name:A", "icy-genre:x", "icy-name:B"}),
         false,
         {{kStatusName, "A"}, {kStatusName, "B"}}},
        {"a single string is the only one examined",
         std::string("icy-br:32\0icy-name:X\0", 21),
         true,
         {{kStatusBitrate, "bitrate: 32"}}},
        {"an empty first string ends the walk", TagList({"", "icy-name:Hidden"}), false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::pair<int, std::string>> got;
        for (const TPlayerStatus& m : MessagesFromHeaders(c.block.c_str(), c.single))
            got.emplace_back(m.Code, m.Text);
        EXPECT_EQ(got, c.messages);
    }
    EXPECT_TRUE(MessagesFromHeaders(nullptr, false).empty());
}

TEST(StreamTitle, IndexArithmeticOfTheMetadataString) {
    const struct {
        std::string meta;
        std::optional<std::string> title;
    } cases[] = {
        {"StreamTitle='Artist - Song';StreamUrl='';", "Artist - Song"},
        {"StreamTitle='';", ""},
        {"StreamTitle='Rock; Roll';", "Roc"},
        {"StreamTitle='No semicolon'", ""},
        {"StreamUrl='x';StreamTitle='Late';", ""},
        {"StreamTitle='", ""},
        {"StreamTitle=", ""},
        {"StreamTitle=;", ""},
        {"StreamTitle='A';", "A"},
        {"StreamTitle='\xC3\x9C"
         "ber';",
         "\xC3\x9C"
         "ber"},
        {"xxStreamTitle='Mid';", "Mid"},
        {"StreamUrl='x';", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.meta);
        EXPECT_EQ(TitleFromMetadata(c.meta), c.title);
    }
}

TEST(LevelMeter, PositionFromLevelWord) {
    const struct {
        engine::DWORD left, right;
        int position;
    } cases[] = {
        {32768, 0, 50}, {999, 999, 0}, {3000, 3000, 9}, {32768, 32768, 100}, {0, 0, 0}, {1000, 1000, 3},
        {0, 32768, 50}, {1998, 0, 0},  {2000, 0, 3},    {0xFFFF, 0xFFFF, 0}, // a failed read is all bits set
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.left) + "/" + std::to_string(c.right));
        EXPECT_EQ(LevelMeterPosition(c.left | (c.right << 16)), c.position);
    }
}

TEST(InformationLine, RotatesOneCharacterPerTick) {
    const struct {
        std::u16string text, rotated;
    } cases[] = {
        {u"abc", u"bca"},
        {u"a", u"a"},
        {u"", u""},
        {u"\U0001F3B5x", u"x\U0001F3B5"}, // a surrogate pair moves whole
    };
    for (const auto& c : cases)
        EXPECT_EQ(RotateInformationText(c.text), c.rotated);
    std::u16string text = u"Jazz FM ";
    for (size_t i = 0; i < text.size(); ++i)
        text = RotateInformationText(text);
    EXPECT_EQ(text, u"Jazz FM ");
}

TEST(UrlMenu, EntriesMarksLabelAndRetrying) {
    using E = TUrlMenuEntry;
    const E sep{"-"}, copy{kCopyUrlCaption}, play{kPlayClipboardCaption};
    const std::u16string two = u"Name\tD\tS\tC\tL\thttp://a/1\thttp://b/2";
    const struct {
        const char* name;
        std::u16string line;
        int attempt;
        bool clipboard;
        std::string currentUrl;
        std::vector<E> entries;
        std::string label;
        bool stopsRetrying;
    } cases[] = {
        {"no station: fixed entries only", u"", 0, false, "", {sep, copy, play}, "URL (0)", true},
        {"first of two marked",
         two,
         0,
         false,
         "",
         {{"http://a/1", true}, {"http://b/2"}, sep, copy, play},
         "URL (2)",
         false},
        {"second of two marked",
         two,
         1,
         false,
         "",
         {{"http://a/1"}, {"http://b/2", true}, sep, copy, play},
         "URL (2)",
         false},
        {"attempt past the URLs marks nothing",
         two,
         5,
         false,
         "",
         {{"http://a/1"}, {"http://b/2"}, sep, copy, play},
         "URL (2)",
         false},
        {"short fields get no entry but keep their index",
         u"N\tD\tS\tC\tL\tabc\thttp://b/2",
         1,
         false,
         "",
         {{"http://b/2", true}, sep, copy, play},
         "URL (1)",
         true},
        {"all URLs short",
         u"N\thttp://info.example\tS\tC\tL\tab\txyz",
         0,
         false,
         "",
         {sep, copy, play},
         "URL (0)",
         true},
        {"one URL",
         u"N\tD\tS\tC\tL\thttp://only",
         0,
         false,
         "",
         {{"http://only", true}, sep, copy, play},
         "URL (1)",
         true},
        {"bare URL entry from Recent, TAB dropped",
         u"http://clip/x\t",
         0,
         false,
         "",
         {{"http://clip/x", true}, sep, copy, play},
         "URL (1)",
         true},
        {"clipboard mode lists the clipboard URL alone",
         two,
         0,
         true,
         "http://clip/x",
         {{"http://clip/x", true}, sep, copy, play},
         "URL (0)",
         true},
        {"clipboard mode without a URL", two, 0, true, "no url", {sep, copy, play}, "URL (0)", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TUrlMenu menu = BuildUrlMenu(c.line, c.attempt, c.clipboard, c.currentUrl);
        EXPECT_EQ(menu.Entries, c.entries);
        EXPECT_EQ(menu.Label, c.label);
        EXPECT_EQ(MenuStopsRetrying(menu), c.stopsRetrying);
    }
}

// The controller's handling of one status message, on a fresh controller.
class StatusMessages : public ::testing::Test {
protected:
    void SetUp() override {
        QDir::setCurrent(dir_.path());
        controller_ = std::make_unique<TPlaybackController>(fake_, view_.Ports(), recent_, state_);
    }
    void TearDown() override {
        controller_.reset();
        QDir::setCurrent(QDir::tempPath());
    }
    QTemporaryDir dir_;
    FakeAudioLibrary fake_;
    RecordingView view_;
    TRecentList recent_;
    // The state the tests put the controller in (its creator may).
    std::shared_ptr<TPlayerState> state_ = std::make_shared<TPlayerState>();
    std::unique_ptr<TPlaybackController> controller_;
};

TEST_F(StatusMessages, EachCodeReachesItsLine) {
    view_.title = u"old title";
    controller_->WmPlayerStatus({kStatusConnecting});
    EXPECT_EQ(view_.status, u"connecting...");
    EXPECT_EQ(view_.title, u"");
    EXPECT_EQ(view_.bitrate, u"");
    controller_->WmPlayerStatus({kStatusServerReply, 0, "HTTP/1.1 200 OK"});
    EXPECT_EQ(view_.bitrate, u"HTTP/1.1 200 OK");
    controller_->WmPlayerStatus({kStatusBuffering, 80});
    EXPECT_EQ(view_.status, u"buffering... 80%");
    controller_->WmPlayerStatus({kStatusName, 0, "Radio \xC3\x9C"});
    EXPECT_EQ(view_.status, u"Radio \u00DC");
    EXPECT_EQ(controller_->StatusText(), u"Radio \u00DC");
    controller_->WmPlayerStatus({kStatusBitrate, 0, "bitrate: 128"});
    EXPECT_EQ(view_.bitrate, u"bitrate: 128");
    controller_->WmPlayerStatus({kStatusTitle, 0, "Caf\xC3\xA9"});
    EXPECT_EQ(view_.title, u"Caf\u00E9");
    controller_->WmPlayerStatus({99, 0, "ignored"});
    EXPECT_EQ(view_.title, u"Caf\u00E9");
}

TEST_F(StatusMessages, FailureShowsOnlyPastTheSixthAttemptOrWithoutRetrying) {
    const struct {
        int attempt;
        bool autoRetry;
        int code;
        bool shown;
        std::u16string title;
    } cases[] = {
        {3, true, 40, false, u""},
        {5, true, 40, false, u""},
        {6, true, 40, true, u"Connection timedout"},
        {12, true, -1, true, u"Some other mystery error"},
        {0, false, 32, true, u"No internet connection could be opened"},
        {0, false, 77, true, u"Unknown error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.attempt);
        TPlayerState& state = *state_;
        state.AttemptNumber = c.attempt;
        state.AutoRetry = c.autoRetry;
        state.PlayActive = true;
        view_.playPicture = true;
        view_.status = u"connecting...";
        view_.title = u"";
        controller_->WmPlayerStatus({kStatusFailed, c.code});
        EXPECT_EQ(state.PlayActive, !c.shown);
        EXPECT_EQ(view_.playPicture, !c.shown);
        EXPECT_EQ(view_.status, c.shown ? u"not playing" : u"connecting...");
        EXPECT_EQ(view_.title, c.title);
    }
}

TEST_F(StatusMessages, StaleStampsAreDroppedUnstampedOnesShown) {
    controller_->ChooseStation(u"N\tD\tS\tC\tL\thttp://a");
    const std::uint32_t current = controller_->State().Generation;
    controller_->WmPlayerStatus({kStatusName, 0, "Old station", current + 5});
    EXPECT_TRUE(view_.statusHistory.empty());
    controller_->WmPlayerStatus({kStatusName, 0, "Current", current});
    controller_->WmPlayerStatus({kStatusTitle, 0, "From the metadata callback", 0});
    EXPECT_EQ(view_.status, u"Current");
    EXPECT_EQ(view_.title, u"From the metadata callback");
}

TEST_F(StatusMessages, Timer1MeterSettlingAndBlink) {
    // Nothing opened: the meter stays at 0.
    controller_->Timer1Timer();
    EXPECT_EQ(view_.meter.back(), 0);

    fake_.SetScript("http://a", {});
    const engine::HSTREAM h = fake_.BASS_StreamCreateURL("http://a", 0, 0, nullptr, nullptr);
    fake_.BASS_ChannelPlay(h, kFalse);
    controller_->ChooseStation(u"Jazz Cafe\tD\tS\tC\tL\thttp://a");
    state_->StationFields = SplitStationLine(state_->StationLine);
    state_->Stream = h;

    const struct {
        std::u16string before;
        engine::DWORD level;
        int meter;
        std::u16string after;
    } cases[] = {
        {u"connecting...", 3000 | (3000u << 16), 9, u"Jazz Cafe"},
        {u"buffering... 80%", 1, 0, u"Jazz Cafe"},
        {u"Name From Headers", 32768, 50, u"Name From Headers"},
        {u"buffering... 80%", 0, 0, u"buffering... 80%"},
        {u"connecting...", 5 | (32768u << 16), 50, u"connecting..."}, // negative as a signed word
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.level));
        controller_->WmPlayerStatus({kStatusName, 0, AnsiFromWide(c.before)});
        fake_.SetLevels(h, {c.level});
        controller_->Timer1Timer();
        EXPECT_EQ(view_.meter.back(), c.meter);
        EXPECT_EQ(controller_->StatusText(), c.after);
        EXPECT_EQ(view_.status, c.after);
    }

    // Stopped: the meter falls to 0, the texts stay.
    fake_.BASS_StreamFree(h);
    controller_->Timer1Timer();
    EXPECT_EQ(view_.meter.back(), 0);

    // The recording label changes every sixth tick while a recording runs.
    view_.recording = true;
    view_.labelToggles = 0;
    for (int i = 0; i < 36; ++i)
        controller_->Timer1Timer();
    EXPECT_EQ(view_.labelToggles, 6);
    view_.recording = false;
    for (int i = 0; i < 12; ++i)
        controller_->Timer1Timer();
    EXPECT_EQ(view_.labelToggles, 6);
}

} // namespace
