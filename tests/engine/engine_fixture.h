#pragma once
// Shared pieces of the engine tests: audio fixtures made by ffmpeg, an engine
// on the null output or on SDL's disk driver (whose mixed output the test
// reads back), and tone measurement.
#include "engine/audio_engine.h"
#include "tests/engine_net/test_server.h"
#include "tests/support/capture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace lumaro::engine::test {

// Bytes of an MP3 (44100 Hz, 192 kbps) made by ffmpeg from an aevalsrc
// expression per channel, e.g. "0.5*sin(2*PI*440*t)". Cached per arguments.
std::string MakeMp3(const std::string& left, const std::string& right, double seconds);
using test_support::Capture;

// Amplitude of the sine at `hz` in one channel (0 left, 1 right) of
// interleaved stereo, over [first, first + count) frames.
double ToneAmplitude(const std::vector<float>& stereo, int channel, double hz, std::size_t first,
                     std::size_t count);
// First frame whose sample exceeds `threshold` in either channel; npos if none.
std::size_t FirstSound(const std::vector<float>& stereo, float threshold = 1e-3f);
double Db(double ratio);

// Waits for a condition with a generous time-out, polling.
bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Records the calls a callback gets, for waiting on them.
struct Recorder {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> items; // mutex
    void Add(std::string item);
    std::vector<std::string> Items();
    bool WaitForCount(std::size_t n, std::chrono::milliseconds timeout = std::chrono::seconds(10));
};

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the engine on SDL's disk driver (faster than real time); the
    // mixed output goes to a file that Output() reads after StopAndRead().
    void StartDisk();
    // Starts the engine on the null output (paced in real time, sound discarded).
    void StartNull(NullOutputKnobs knobs = {});
    // Frees the engine and returns its whole mixed output (stereo float).
    std::vector<float> StopAndRead();

    // Serves `mp3` at `path` as a plain HTTP audio/mpeg reply.
    std::string ServeMp3(const std::string& path, const std::string& mp3);
    // Serves an ICY stream at `path` at a live pace: `piece` bytes every
    // `interval`, metadata blocks every `metaint` audio bytes; then holds open.
    std::string ServeLiveIcy(const std::string& path, const std::vector<std::string>& headers,
                             std::size_t metaint, const std::string& audio,
                             const std::vector<std::string>& blocks, std::size_t piece = 4000,
                             std::chrono::milliseconds interval = std::chrono::milliseconds(50));
    // Opens `url` and fails the test when it cannot.
    HSTREAM Open(const std::string& url);
    // Plays h and waits until it has played to its end.
    void PlayToEnd(HSTREAM h);

    // Makes the output at BASS_Init; the Start functions set it, a test may too.
    AudioEngine::OutputFactory make_output;
    AudioEngine engine{[this] { return make_output ? make_output() : nullptr; }};
    testing::TestServer server;
    std::string output_file;
    bool started = false;
};

} // namespace lumaro::engine::test
