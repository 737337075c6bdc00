#include "tests/engine/engine_fixture.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <thread>
#include <unistd.h>

namespace lumaro::engine::test {

std::string MakeMp3(const std::string& left, const std::string& right, double seconds) {
    static std::mutex mutex;
    static std::map<std::string, std::string> cache;
    const std::string expr = left + "|" + right;
    const std::string key = expr + "@" + std::to_string(seconds);
    std::lock_guard lock(mutex);
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    const std::string cmd = "ffmpeg -nostdin -loglevel error -f lavfi -i \"aevalsrc=exprs='" + expr +
                            "':s=44100:d=" + std::to_string(seconds) +
                            "\" -c:a libmp3lame -b:a 192k -f mp3 - 2>/dev/null";
    std::string mp3 = Capture(cmd);
    cache[key] = mp3;
    return mp3;
}

double ToneAmplitude(const std::vector<float>& stereo, int channel, double hz, std::size_t first,
                     std::size_t count) {
    // Correlation with a sine and a cosine: the amplitude of that frequency.
    double re = 0, im = 0;
    const std::size_t frames = stereo.size() / 2;
    std::size_t used = 0;
    for (std::size_t i = first; i < first + count && i < frames; ++i, ++used) {
        const double phase = 2 * M_PI * hz * static_cast<double>(i) / 44100.0;
        re += stereo[2 * i + channel] * std::cos(phase);
        im += stereo[2 * i + channel] * std::sin(phase);
    }
    if (used == 0) return 0;
    return 2 * std::hypot(re, im) / static_cast<double>(used);
}

std::size_t FirstSound(const std::vector<float>& stereo, float threshold) {
    for (std::size_t i = 0; i < stereo.size(); ++i)
        if (std::fabs(stereo[i]) > threshold) return i / 2;
    return std::string::npos;
}

double Db(double ratio) {
    return 20 * std::log10(ratio);
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void Recorder::Add(std::string item) {
    std::lock_guard lock(mutex);
    items.push_back(std::move(item));
    changed.notify_all();
}
std::vector<std::string> Recorder::Items() {
    std::lock_guard lock(mutex);
    return items;
}
bool Recorder::WaitForCount(std::size_t n, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, timeout, [&] { return items.size() >= n; });
}

void EngineTest::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    output_file =
        ::testing::TempDir() + "engine_out_" + std::to_string(getpid()) + "_" + info->name() + ".raw";
    for (char& c : output_file)
        if (c == '/' && &c > output_file.data() + ::testing::TempDir().size()) c = '_';
}

void EngineTest::TearDown() {
    engine.BASS_Free();
    std::remove(output_file.c_str());
    EXPECT_TRUE(AudioEngine::WaitForStreamThreads(std::chrono::seconds(10)));
}

void EngineTest::StartDisk() {
    make_output = &MakeSdlOutput;
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", output_file.c_str(), 1);
    // 5 ms per 1024-frame block: about 4.6 times faster than real time.
    setenv("SDL_DISKAUDIODELAY", "5", 1);
    ASSERT_TRUE(engine.BASS_Init(-1, 44100, 0, nullptr, nullptr)) << engine.BASS_ErrorGetCode();
    started = true;
}

void EngineTest::StartNull(NullOutputKnobs knobs) {
    make_output = [knobs] { return MakeNullOutput(knobs); };
    ASSERT_TRUE(engine.BASS_Init(-1, 44100, 0, nullptr, nullptr)) << engine.BASS_ErrorGetCode();
    started = true;
}

std::vector<float> EngineTest::StopAndRead() {
    engine.BASS_Free();
    std::ifstream in(output_file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<float> samples(bytes.size() / sizeof(float));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
    return samples;
}

std::string EngineTest::ServeMp3(const std::string& path, const std::string& mp3) {
    EXPECT_FALSE(mp3.empty()) << "ffmpeg made no MP3";
    server.Handle(path, testing::serve::Http("audio/mpeg", mp3));
    return server.Url(path);
}

std::string EngineTest::ServeLiveIcy(const std::string& path, const std::vector<std::string>& headers,
                                     std::size_t metaint, const std::string& audio,
                                     const std::vector<std::string>& blocks, std::size_t piece,
                                     std::chrono::milliseconds interval) {
    std::string head = "ICY 200 OK\r\n";
    for (const auto& h : headers)
        head += h + "\r\n";
    head += "icy-metaint:" + std::to_string(metaint) + "\r\n\r\n";
    server.Handle(
        path, testing::serve::Paced(head, testing::BuildIcyBody(metaint, audio, blocks), piece, interval));
    return server.Url(path);
}

HSTREAM EngineTest::Open(const std::string& url) {
    const HSTREAM h = engine.BASS_StreamCreateURL(url.c_str(), 0, 0, nullptr, nullptr);
    EXPECT_NE(h, 0u) << "error " << engine.BASS_ErrorGetCode();
    return h;
}

void EngineTest::PlayToEnd(HSTREAM h) {
    ASSERT_TRUE(engine.BASS_ChannelPlay(h, kFalse));
    ASSERT_TRUE(WaitFor([&] { return engine.BASS_ChannelIsActive(h) == BASS_ACTIVE_STOPPED; },
                        std::chrono::seconds(30)));
}

} // namespace lumaro::engine::test
