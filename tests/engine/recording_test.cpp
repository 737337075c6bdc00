// Recording through the encoder: a real lame writes an MP3 of the stream's
// processed sound that ffprobe decodes and whose tags a tag reader reads back.
#include "tests/engine/engine_fixture.h"

#include <filesystem>
#include <unistd.h>

namespace lumaro::engine::test {
namespace {

using namespace std::chrono_literals;

using RecordingTest = EngineTest;

std::string Quote(const std::string& s) {
    return "'" + s + "'";
}

TEST_F(RecordingTest, LameWritesATaggedMp3OfTheStream) {
    StartDisk();
    const auto dir = std::filesystem::path(::testing::TempDir()) / ("rec_" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const HSTREAM h = Open(ServeMp3("/rec", MakeMp3("0.3*sin(2*PI*440*t)", "0.3*sin(2*PI*440*t)", 2.0)));

    // The encoder starts in the caller's current directory.
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    const HENCODE enc =
        engine.BASS_Encode_Start(h, "lame - recording_1.mp3 --tt \"Søng – ünï\" --tc \"Radio  Näme\"",
                                 BASS_ENCODE_FP_16BIT | BASS_ENCODE_AUTOFREE, nullptr, nullptr);
    std::filesystem::current_path(previous);
    ASSERT_NE(enc, 0u) << engine.BASS_ErrorGetCode();
    PlayToEnd(h);
    ASSERT_TRUE(engine.BASS_StreamFree(h)); // ends the encoder's input (auto-free)

    const std::string file = (dir / "recording_1.mp3").string();
    std::string probe;
    // lame finishes the file by itself once its input ends.
    ASSERT_TRUE(WaitFor(
        [&] {
            probe = Capture("ffprobe -v error -show_entries format=format_name,duration -of csv=p=0 " +
                            Quote(file));
            return probe.starts_with("mp3,") && std::stod(probe.substr(4)) > 1.5;
        },
        20s))
        << probe;
    EXPECT_LT(std::stod(probe.substr(4)), 2.6);
    const std::string tags =
        Capture("/usr/bin/python3 -c \"import mutagen.id3 as m, sys; t = m.ID3(sys.argv[1]); "
                "print(t['TIT2'].text[0]); print(t.getall('COMM')[0].text[0])\" " +
                Quote(file));
    EXPECT_EQ(tags, "Søng – ünï\nRadio  Näme\n");
    std::filesystem::remove_all(dir);
}

TEST_F(RecordingTest, StopEndsTheRecordingAndAMissingProgramFailsCleanly) {
    StartNull();
    const HSTREAM h = Open(ServeMp3("/rec", MakeMp3("0.3*sin(2*PI*440*t)", "0", 3.0)));
    EXPECT_EQ(engine.BASS_Encode_Start(h, "no-such-encoder-program -", 0x40004, nullptr, nullptr), 0u);
    EXPECT_EQ(engine.BASS_ErrorGetCode(), BASS_ERROR_CREATE);
    EXPECT_EQ(engine.BASS_Encode_Start(h, "", 0x40004, nullptr, nullptr), 0u);
    EXPECT_EQ(engine.BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);

    const auto dir = std::filesystem::path(::testing::TempDir()) / ("stop_" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    const HENCODE enc = engine.BASS_Encode_Start(h, "lame - out.mp3", 0x40004, nullptr, nullptr);
    std::filesystem::current_path(previous);
    ASSERT_NE(enc, 0u);
    ASSERT_TRUE(engine.BASS_ChannelPlay(h, kFalse));
    const std::uint64_t blocks = engine.MixedBlocks();
    ASSERT_TRUE(WaitFor([&] { return engine.MixedBlocks() > blocks + 20; })); // half a second recorded
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(engine.BASS_Encode_Stop(h));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 200ms);
    EXPECT_FALSE(engine.BASS_Encode_Stop(enc)) << "already stopped";
    // The stream goes on playing; the program ends by itself with a valid file.
    EXPECT_NE(engine.BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED);
    EXPECT_TRUE(WaitFor(
        [&] {
            return Capture("ffprobe -v error -show_entries format=format_name -of csv=p=0 " +
                           Quote((dir / "out.mp3").string()))
                .starts_with("mp3");
        },
        20s));
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace lumaro::engine::test
