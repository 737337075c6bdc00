// lumaro-play: plays a stream URL through the audio engine, for trying streams
// and for measuring. Prints the reply lines, the tags, each new title and the
// level once a second.
//
//   lumaro-play [--effects] [--timeout MS] [--no-playlist] URL [SECONDS]
//
// --effects puts the player's whole effect chain on the stream (three
// equaliser bands, reverb, volume, pan and the mono DSP). Exit status 0 when
// the stream played to the end of SECONDS (or of the stream), else 1 with the
// error code and its text on stderr.
#include "engine/audio_engine.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

using namespace lumaro::engine;
using Clock = std::chrono::steady_clock;

namespace {

const char* ErrorText(int code) {
    switch (code) {
    case 0:
        return "All is OK";
    case 1:
        return "Memory error";
    case 2:
        return "Can't open the file";
    case 3:
        return "Can't find a free sound driver";
    case 5:
        return "Invalid handle";
    case 8:
        return "BASS_Init has not been successfully called";
    case 14:
        return "Already initialized/paused/whatever";
    case 19:
        return "An illegal type was specified";
    case 20:
        return "An illegal parameter was specified";
    case 23:
        return "Illegal device number";
    case 32:
        return "No internet connection could be opened";
    case 37:
        return "Requested data is not available";
    case 40:
        return "Connection timedout";
    case 41:
        return "Unsupported file format";
    case 44:
        return "Codec is not available/supported";
    default:
        return "Some other mystery error";
    }
}

Clock::time_point g_start;
double Seconds() {
    return std::chrono::duration<double>(Clock::now() - g_start).count();
}

AudioLibrary* g_engine = nullptr;
std::atomic<HSTREAM> g_stream{0};

void StatusLine(const void* buffer, DWORD length, void*) {
    // Download thread.
    if (buffer && length == 0)
        std::printf("[%6.3f] reply: %s\n", Seconds(), static_cast<const char*>(buffer));
}

void PrintList(const char* what, const char* list) {
    if (!list) return;
    for (const char* s = list; *s; s += std::strlen(s) + 1)
        std::printf("%s: %s\n", what, s);
}

void MetaChanged(HSYNC, DWORD channel, DWORD, void*) {
    // Engine thread: the download thread (ICY) or the stream thread (Ogg comments).
    const char* meta = g_engine->BASS_ChannelGetTags(channel, BASS_TAG_META);
    if (meta) std::printf("[%6.3f] title: %s\n", Seconds(), meta);
    std::fflush(stdout);
}

void Mono(HDSP, DWORD, void* buffer, DWORD length, void*) {
    // Output thread.
    auto* s = static_cast<float*>(buffer);
    for (DWORD i = 0; i + 1 < length / 4; i += 2)
        s[i] = s[i + 1] = (s[i] + s[i + 1]) * 0.5f;
}

void ApplyEffects(AudioLibrary& e, HSTREAM h) {
    const float centers[] = {125.0f, 1000.0f, 8000.0f};
    const float gains[] = {3.0f, -2.0f, 2.0f};
    HFX eq[3];
    for (auto& fx : eq)
        fx = e.BASS_ChannelSetFX(h, BASS_FX_DX8_PARAMEQ, 1);
    const HFX reverb = e.BASS_ChannelSetFX(h, BASS_FX_DX8_REVERB, 1);
    for (int i = 0; i < 3; ++i) {
        BASS_DX8_PARAMEQ p{centers[i], 18.0f, gains[i]};
        e.BASS_FXSetParameters(eq[i], &p);
    }
    BASS_DX8_REVERB r{};
    e.BASS_FXGetParameters(reverb, &r);
    r.fReverbMix = -10.0f;
    r.fReverbTime = 1200.0f;
    r.fHighFreqRTRatio = 0.1f;
    e.BASS_FXSetParameters(reverb, &r);
    e.BASS_ChannelSetAttribute(h, BASS_ATTRIB_VOL, 0.8f);
    e.BASS_ChannelSetAttribute(h, BASS_ATTRIB_PAN, 0.1f);
    e.BASS_ChannelSetDSP(h, &Mono, nullptr, 0);
}

int Failed(AudioLibrary& e, const char* what) {
    const int code = e.BASS_ErrorGetCode();
    std::fprintf(stderr, "lumaro-play: %s failed: error %d: %s\n", what, code, ErrorText(code));
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    g_start = Clock::now();
    lumaro::engine::PrepareAudioOutput();
    bool effects = false, playlist = true;
    int timeout_ms = 5000;
    const char* url = nullptr;
    double seconds = 0; // 0 = until the stream ends
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--effects"))
            effects = true;
        else if (!std::strcmp(argv[i], "--no-playlist"))
            playlist = false;
        else if (!std::strcmp(argv[i], "--timeout") && i + 1 < argc)
            timeout_ms = std::atoi(argv[++i]);
        else if (!url)
            url = argv[i];
        else
            seconds = std::atof(argv[i]);
    }
    if (!url) {
        std::fprintf(stderr, "usage: lumaro-play [--effects] [--timeout MS] [--no-playlist] URL [SECONDS]\n");
        return 2;
    }
    setvbuf(stdout, nullptr, _IOLBF, 0);
    AudioEngine engine;
    g_engine = &engine;
    if (!engine.BASS_Init(-1, 44100, 0, nullptr, nullptr)) return Failed(engine, "BASS_Init");
    engine.BASS_SetConfig(BASS_CONFIG_NET_PLAYLIST, playlist ? 1 : 0);
    engine.BASS_SetConfig(BASS_CONFIG_NET_PREBUF, 0);
    engine.BASS_SetConfig(BASS_CONFIG_NET_TIMEOUT, static_cast<DWORD>(timeout_ms));

    const HSTREAM h = engine.BASS_StreamCreateURL(url, 0, BASS_STREAM_STATUS, &StatusLine, nullptr);
    if (!h) return Failed(engine, "open");
    g_stream = h;
    std::printf("[%6.3f] opened\n", Seconds());
    // Like the player: wait until the download buffer is more than 75 % full.
    for (;;) {
        QWORD length = engine.BASS_StreamGetFilePosition(h, BASS_FILEPOS_END);
        if (length == 0) length = engine.BASS_StreamGetFilePosition(h, BASS_FILEPOS_WMA_BUFFER);
        if (length == BASS_POSITION_FAILED || length == 0) break;
        const QWORD progress = engine.BASS_StreamGetFilePosition(h, BASS_FILEPOS_BUFFER) * 100 / length;
        if (progress > 75) break;
        if (Seconds() > timeout_ms / 1000.0 + 10) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    std::printf("[%6.3f] buffered\n", Seconds());
    PrintList("http", engine.BASS_ChannelGetTags(h, BASS_TAG_HTTP));
    PrintList("icy", engine.BASS_ChannelGetTags(h, BASS_TAG_ICY));
    PrintList("wma", engine.BASS_ChannelGetTags(h, BASS_TAG_WMA));
    if (const char* meta = engine.BASS_ChannelGetTags(h, BASS_TAG_META)) std::printf("title: %s\n", meta);
    engine.BASS_ChannelSetSync(h, BASS_SYNC_META, 0, &MetaChanged, nullptr);
    BASS_CHANNELINFO info{};
    engine.BASS_ChannelGetInfo(h, &info);
    std::printf("info: %u Hz out, %u source channels, codec 0x%x\n", info.freq, info.chans, info.ctype);
    if (effects) ApplyEffects(engine, h);
    if (!engine.BASS_ChannelPlay(h, kFalse)) return Failed(engine, "play");
    std::printf("[%6.3f] playing\n", Seconds());

    const auto play_start = Clock::now();
    // When the output first carries sound (-40 dBFS), for measuring the start.
    while (Clock::now() - play_start < std::chrono::seconds(5)) {
        const DWORD level = engine.BASS_ChannelGetLevel(h);
        if (level != ~DWORD{0} && ((level & 0xffff) > 328 || (level >> 16) > 328)) {
            std::printf("[%6.3f] first sound\n", Seconds());
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    int ticks = 0;
    while (seconds <= 0 || Clock::now() - play_start < std::chrono::duration<double>(seconds)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const DWORD active = engine.BASS_ChannelIsActive(h);
        if (active == BASS_ACTIVE_STOPPED) break;
        if (++ticks % 10 == 0) {
            const DWORD level = engine.BASS_ChannelGetLevel(h);
            std::printf(
                "[%6.3f] level %5u %5u%s buffer %llu underruns %llu device %llu\n", Seconds(),
                level & 0xffff, level >> 16, active == BASS_ACTIVE_STALLED ? " stalled" : "",
                static_cast<unsigned long long>(engine.BASS_StreamGetFilePosition(h, BASS_FILEPOS_BUFFER)),
                static_cast<unsigned long long>(engine.UnderrunCount()),
                static_cast<unsigned long long>(engine.DeviceUnderrunCount()));
        }
    }
    std::printf("[%6.3f] stopped; underruns %llu device %llu\n", Seconds(),
                static_cast<unsigned long long>(engine.UnderrunCount()),
                static_cast<unsigned long long>(engine.DeviceUnderrunCount()));
    engine.BASS_StreamFree(h);
    engine.BASS_Free();
    return 0;
}
