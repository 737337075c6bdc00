#include "engine/encoder/encoder_process.h"
#include "tests/support/capture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <numbers>
#include <signal.h>
#include <thread>
#include <unistd.h>
#include <vector>

using lumaro::engine::EncoderProcess;
namespace engine_error = lumaro::engine::engine_error;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr auto kExitTimeout = 60s;

using lumaro::test_support::Capture;

bool HaveTools() {
    return fs::exists("/usr/bin/lame") && fs::exists("/usr/bin/ffprobe") &&
           std::system("/usr/bin/python3 -c 'import mutagen' 2>/dev/null") == 0;
}

// Interleaved 1 kHz tone at half scale.
std::vector<float> Tone(int rate, int channels, double seconds) {
    const int frames = static_cast<int>(rate * seconds);
    std::vector<float> s(static_cast<size_t>(frames) * channels);
    for (int i = 0; i < frames; ++i)
        for (int ch = 0; ch < channels; ++ch)
            s[static_cast<size_t>(i) * channels + ch] =
                static_cast<float>(0.5 * std::sin(2.0 * std::numbers::pi * 1000.0 * i / rate));
    return s;
}

// Pushes in mixer-sized blocks.
void Feed(EncoderProcess& encoder, const std::vector<float>& samples, int channels, int block = 1024) {
    const int frames = static_cast<int>(samples.size()) / channels;
    for (int at = 0; at < frames; at += block)
        encoder.push(samples.data() + static_cast<size_t>(at) * channels, std::min(block, frames - at));
}

// Each test runs in a fresh current directory, where the encoder writes.
class EncoderTest : public ::testing::Test {
protected:
    void SetUp() override {
        old_ = fs::current_path();
        char pattern[] = "/tmp/lumaro-encoder-XXXXXX";
        dir_ = ::mkdtemp(pattern);
        fs::current_path(dir_);
    }
    void TearDown() override {
        fs::current_path(old_);
        fs::remove_all(dir_);
    }

    struct Probe {
        std::string codec;
        int channels = 0, rate = 0;
        double duration = 0;
    };
    static Probe ProbeMp3(const std::string& file) {
        std::istringstream in(Capture("/usr/bin/ffprobe -v error -show_entries "
                                      "stream=codec_name,channels,sample_rate:format=duration "
                                      "-of default=nw=1 '" +
                                      file + "' 2>/dev/null"));
        Probe p;
        for (std::string line; std::getline(in, line);) {
            const auto eq = line.find('=');
            if (eq == std::string::npos) continue;
            const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
            if (key == "codec_name") p.codec = value;
            if (key == "channels") p.channels = std::atoi(value.c_str());
            if (key == "sample_rate") p.rate = std::atoi(value.c_str());
            if (key == "duration") p.duration = std::atof(value.c_str());
        }
        return p;
    }
    struct Id3 {
        std::string title, comment;
        std::string length; // TLEN in ms as written; "<none>" when absent
    };
    // The ID3v2 title, comment and length, as a tag reader sees them.
    static Id3 Tags(const std::string& file) {
        const std::string out = Capture(
            "/usr/bin/python3 -c 'import sys, mutagen.id3 as m\n"
            "t = m.ID3(sys.argv[1])\n"
            "sys.stdout.buffer.write(str(t[\"TIT2\"].text[0]).encode() + b\"\\n\")\n"
            "l = t.getall(\"TLEN\")\n"
            "sys.stdout.buffer.write(str(l[0].text[0]).encode() + b\"\\n\" if l else b\"<none>\\n\")\n"
            "c = [f for f in t.getall(\"COMM\") if f.desc == \"\"]\n"
            "sys.stdout.buffer.write(str(c[0].text[0]).encode() if c else b\"<none>\")' '" +
            file + "'");
        Id3 tags;
        const auto nl = out.find('\n');
        tags.title = out.substr(0, nl);
        if (nl == std::string::npos) return tags;
        const auto nl2 = out.find('\n', nl + 1);
        tags.length = out.substr(nl + 1, nl2 == std::string::npos ? std::string::npos : nl2 - nl - 1);
        if (nl2 != std::string::npos) tags.comment = out.substr(nl2 + 1);
        return tags;
    }

    fs::path old_, dir_;
};

struct RecordingCase {
    const char* name;
    std::string titleArg, commentArg; // as written in the command line
    std::string title, comment;       // as the tags must read
    int channels;
};

// Test names show the case's name rather than its bytes.
void PrintTo(const RecordingCase& c, std::ostream* os) {
    *os << c.name;
}

class RecordingTest : public EncoderTest, public ::testing::WithParamInterface<RecordingCase> {};

// A real lame run: the file decodes as MP3 of the right length and carries
// the title and comment tags given on the command line, non-ASCII included,
// even when the caller's own locale is plain C.
TEST_P(RecordingTest, MakesATaggedMp3) {
    ASSERT_TRUE(HaveTools()) << "needs lame, ffprobe and python3-mutagen (scripts/install-deps.sh)";
    const RecordingCase& c = GetParam();
    ::setenv("LC_ALL", "C", 1);
    EncoderProcess encoder;
    ASSERT_EQ(encoder.start("lame - recording_1.mp3 --tt " + c.titleArg + " --tc " + c.commentArg, 44100,
                            c.channels),
              engine_error::kOk);
    EXPECT_TRUE(encoder.active());
    Feed(encoder, Tone(44100, c.channels, 2.0), c.channels);
    encoder.stop();
    EXPECT_FALSE(encoder.active());
    ASSERT_TRUE(encoder.waitForExit(kExitTimeout));
    EXPECT_TRUE(WIFEXITED(encoder.exitStatus()) && WEXITSTATUS(encoder.exitStatus()) == 0);
    EXPECT_EQ(encoder.droppedFrames(), 0u);

    ASSERT_TRUE(fs::exists(dir_ / "recording_1.mp3")); // in the caller's current directory
    const Probe probe = ProbeMp3("recording_1.mp3");
    EXPECT_EQ(probe.codec, "mp3");
    EXPECT_EQ(probe.channels, c.channels);
    EXPECT_EQ(probe.rate, 44100);
    EXPECT_NEAR(probe.duration, 2.0, 0.1);
    const Id3 tags = Tags("recording_1.mp3");
    EXPECT_EQ(tags.title, c.title);
    EXPECT_EQ(tags.comment, c.comment);
    // The input's length is unknown when lame starts: its length tag must not
    // claim one (absent or 0), or be the true one; never 49 days.
    if (tags.length != "<none>" && tags.length != "0") {
        EXPECT_NEAR(std::atof(tags.length.c_str()), 2000.0, 100.0) << "TLEN " << tags.length;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordingTest,
    ::testing::Values(RecordingCase{"plain", "\"Song\"", "\"Radio  Name\"", "Song", "Radio  Name", 2},
                      RecordingCase{"non_ascii", "\"Ελληνικά – Café\"", "\"Radio  Ραδιόφωνο Ñandú\"",
                                    "Ελληνικά – Café", "Radio  Ραδιόφωνο Ñandú", 2},
                      RecordingCase{"quote_in_title", R"("Say \"Hi\" ""now""")", "\"Radio  Q\"",
                                    "Say \"Hi\" \"now\"", "Radio  Q", 2},
                      RecordingCase{"mono", "\"Mono\"", "\"Radio  One\"", "Mono", "Radio  One", 1}),
    [](const auto& info) { return info.param.name; });

// What the child reads: a 16-bit PCM WAV header for the given format with
// the sizes of a stream of unknown length (0), then the samples rounded, clamped
// and little-endian.
TEST_F(EncoderTest, ChildReadsWavHeaderAndPcm) {
    EncoderProcess encoder;
    ASSERT_EQ(encoder.start(R"(sh -c "cat > input.wav")", 22050, 1), engine_error::kOk);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<float> samples{0.0f, 0.5f, -0.5f, 1.0f, -1.0f, 1.5f, -2.0f, nan, 0.25f};
    encoder.push(samples.data(), static_cast<int>(samples.size()));
    encoder.stop();
    ASSERT_TRUE(encoder.waitForExit(kExitTimeout));

    std::ifstream in("input.wav", std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
    const std::vector<unsigned char> header{
        'R', 'I', 'F',  'F',  0, 0, 0,    0,    'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16,  0,   0, 0, 1, 0,
        1,   0,   0x22, 0x56, 0, 0, 0x44, 0xAC, 0,   0,   2,   0,   16,  0,   'd', 'a', 't', 'a', 0, 0, 0, 0};
    ASSERT_EQ(bytes.size(), header.size() + 2 * samples.size());
    EXPECT_EQ(std::vector<unsigned char>(bytes.begin(), bytes.begin() + 44), header);
    const std::vector<int> expected{0, 16384, -16384, 32767, -32767, 32767, -32767, 0, 8192};
    for (size_t i = 0; i < expected.size(); ++i) {
        const auto v = static_cast<int16_t>(bytes[44 + 2 * i] | (bytes[45 + 2 * i] << 8));
        EXPECT_EQ(v, expected[i]) << "sample " << i;
    }
}

TEST_F(EncoderTest, RefusesWhatCannotStart) {
    {
        EncoderProcess encoder;
        EXPECT_EQ(encoder.start("lumaro-no-such-encoder - out.mp3", 44100, 2), engine_error::kCannotCreate);
        EXPECT_FALSE(encoder.active());
        const std::vector<float> block(2048, 0.1f);
        encoder.push(block.data(), 1024); // harmless
        EXPECT_FALSE(fs::exists("out.mp3"));
    }
    for (const auto& [line, rate, channels] :
         {std::tuple{"", 44100, 2}, std::tuple{"  ", 44100, 2}, std::tuple{"\"\" x", 44100, 2},
          std::tuple{"cat", 0, 2}, std::tuple{"cat", 44100, 0}, std::tuple{"cat", 44100, 9}}) {
        EncoderProcess encoder;
        EXPECT_EQ(encoder.start(line, rate, channels), engine_error::kIllegalParam) << line;
    }
    EncoderProcess encoder;
    ASSERT_EQ(encoder.start("cat", 44100, 2), engine_error::kOk);
    EXPECT_EQ(encoder.start("cat", 44100, 2), engine_error::kAlready);
}

// A child that never reads: push() keeps returning, dropping and counting
// what does not fit; stop and destruction don't wait for the child.
TEST_F(EncoderTest, ChildThatNeverReadsMakesPushDropNotBlock) {
    const std::vector<float> tone = Tone(44100, 2, 1.0);
    pid_t pid;
    {
        EncoderProcess encoder;
        ASSERT_EQ(encoder.start("sleep 30", 44100, 2), engine_error::kOk);
        pid = encoder.pid();
        for (int second = 0; second < 12; ++second)
            Feed(encoder, tone, 2);
        EXPECT_GT(encoder.droppedFrames(), 0u);
        EXPECT_LT(encoder.droppedFrames(), 12u * 44100u);
        encoder.stop();
        EXPECT_FALSE(encoder.waitForExit(0ms)); // still sleeping: stop did not wait for it
    }
    ::kill(pid, SIGTERM); // don't leave it behind; the detached writer then reaps it
}

// A child that stops reading and exits while we still write: the write
// raises SIGPIPE, which must not end our process; the encoder just turns
// inactive and the child is reaped.
TEST_F(EncoderTest, ChildThatExitsEarlyDoesNotKillUs) {
    EncoderProcess encoder;
    ASSERT_EQ(encoder.start("head -c 100", 44100, 2), engine_error::kOk);
    const std::vector<float> tone = Tone(44100, 2, 1.0);
    for (int i = 0; i < 3; ++i)
        Feed(encoder, tone, 2); // far more than the pipe holds
    ASSERT_TRUE(encoder.waitForExit(kExitTimeout));
    EXPECT_FALSE(encoder.active());
    EXPECT_TRUE(WIFEXITED(encoder.exitStatus()));
    Feed(encoder, tone, 2); // harmless once the child is gone
}

// stop() and the destructor return while a slow child has not even begun to
// read; it later gets every pushed sample and finishes its file on its own.
TEST_F(EncoderTest, StopReturnsAtOnceAndTheSlowChildFinishes) {
    ASSERT_TRUE(HaveTools()) << "needs lame, ffprobe and python3-mutagen (scripts/install-deps.sh)";
    pid_t pid;
    {
        EncoderProcess encoder;
        ASSERT_EQ(encoder.start(R"(sh -c "sleep 1; exec lame --quiet - slow.mp3 --tt Slow")", 44100, 2),
                  engine_error::kOk);
        pid = encoder.pid();
        Feed(encoder, Tone(44100, 2, 2.0), 2);
        encoder.stop();
        EXPECT_FALSE(encoder.waitForExit(0ms));
    } // destroyed with the child still asleep
    // The writer thread reaps the child; once reaped its pid is gone.
    const auto deadline = std::chrono::steady_clock::now() + kExitTimeout;
    while (::kill(pid, 0) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
    ASSERT_NE(::kill(pid, 0), 0) << "the encoder did not end";
    const Probe probe = ProbeMp3("slow.mp3");
    EXPECT_EQ(probe.codec, "mp3");
    EXPECT_NEAR(probe.duration, 2.0, 0.1);
}

} // namespace
