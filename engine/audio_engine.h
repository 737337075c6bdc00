#pragma once
// The real audio engine: libcurl download (engine/net), FFmpeg decoding on a
// thread per stream, a per-channel DSP chain and one mixer feeding a sound
// output (engine/output) at 44100 Hz stereo float. The caller's callbacks run
// on one callback thread of the engine's own.
#include "engine/audio_library.h"
#include "engine/output/audio_output.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

namespace lumaro::engine {

class AudioEngine final : public AudioLibrary {
public:
    // Makes the sound output at each BASS_Init; a null output there fails
    // the call with BASS_ERROR_DRIVER.
    using OutputFactory = std::function<std::unique_ptr<AudioOutput>()>;
    explicit AudioEngine(OutputFactory make_output = MakeDefaultOutput);
    ~AudioEngine() override;
    AudioEngine(const AudioEngine&) = delete;
    AudioEngine& operator=(const AudioEngine&) = delete;

    DWORD BASS_GetVersion() override;
    BOOL BASS_Init(int device, DWORD freq, DWORD flags, void* window, const void* clsid) override;
    HPLUGIN BASS_PluginLoad(const char* file, DWORD flags) override;
    BOOL BASS_SetConfig(DWORD option, DWORD value) override;
    BOOL BASS_Free() override;
    int BASS_ErrorGetCode() override;

    HSTREAM BASS_StreamCreateURL(const char* url, DWORD offset, DWORD flags, DOWNLOADPROC* proc,
                                 void* user) override;
    BOOL BASS_StreamFree(HSTREAM handle) override;
    QWORD BASS_StreamGetFilePosition(HSTREAM handle, DWORD mode) override;
    const char* BASS_ChannelGetTags(DWORD handle, DWORD tags) override;
    HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD param, SYNCPROC* proc, void* user) override;
    BOOL BASS_ChannelGetInfo(DWORD handle, BASS_CHANNELINFO* info) override;
    BOOL BASS_ChannelPlay(DWORD handle, BOOL restart) override;
    DWORD BASS_ChannelIsActive(DWORD handle) override;
    DWORD BASS_ChannelGetLevel(DWORD handle) override;

    HFX BASS_ChannelSetFX(DWORD handle, DWORD type, int priority) override;
    BOOL BASS_FXGetParameters(HFX handle, void* params) override;
    BOOL BASS_FXSetParameters(HFX handle, const void* params) override;
    BOOL BASS_ChannelSetAttribute(DWORD handle, DWORD attrib, float value) override;
    HDSP BASS_ChannelSetDSP(DWORD handle, DSPPROC* proc, void* user, int priority) override;
    BOOL BASS_ChannelRemoveDSP(DWORD handle, HDSP dsp) override;

    HENCODE BASS_Encode_Start(DWORD handle, const char* cmdline, DWORD flags, ENCODEPROC* proc,
                              void* user) override;
    BOOL BASS_Encode_Stop(DWORD handle) override;

    // Frames the SDL output asks the mixer for at a time (23 ms at 44100 Hz).
    static constexpr int kBlockFrames = 1024;

    // Output blocks in which a playing channel that had already sounded had
    // too little decoded audio (audible dropouts), since BASS_Init.
    std::uint64_t UnderrunCount() const;
    // Times the sound device itself ran dry (its driver's count; 0 when it
    // cannot tell), since BASS_Init.
    std::uint64_t DeviceUnderrunCount() const;
    // Blocks mixed since BASS_Init: one per request of the output (larger
    // requests count once per 2048 frames).
    std::uint64_t MixedBlocks() const;
    // Waits until the engine's own threads (stream, download, encoder writer)
    // have ended, for shutdown and tests. True when they did within the time-out.
    static bool WaitForStreamThreads(std::chrono::milliseconds timeout);

    struct State;

private:
    std::shared_ptr<State> state_;
};

} // namespace lumaro::engine
