#include "playback/audio_engine_setup.h"

namespace lumaro {

using namespace engine;

const std::array<const char*, kLastKnownErrorCode + 2> TAudioErrorTexts = {
    "Some other mystery error",                      // -1
    "All is OK",                                     // 0
    "Memory error",                                  // 1
    "Can't open the file",                           // 2
    "Can't find a free sound driver",                // 3
    "The sample buffer was lost",                    // 4
    "Invalid handle",                                // 5
    "Unsupported sample format",                     // 6
    "Invalid playback position",                     // 7
    "BASS_Init has not been successfully called",    // 8
    "BASS_Start has not been successfully called",   // 9
    "Unknown error",                                 // 10
    "Unknown error",                                 // 11
    "Unknown error",                                 // 12
    "Unknown error",                                 // 13
    "Already initialized/paused/whatever",           // 14
    "Unknown error",                                 // 15
    "Not paused",                                    // 16
    "Unknown error",                                 // 17
    "Can't get a free channel",                      // 18
    "An illegal type was specified",                 // 19
    "An illegal parameter was specified",            // 20
    "No 3D support",                                 // 21
    "No EAX support",                                // 22
    "Illegal device number",                         // 23
    "Not playing",                                   // 24
    "Illegal sample rate",                           // 25
    "Unknown error",                                 // 26
    "The stream is not a file stream",               // 27
    "Unknown error",                                 // 28
    "No hardware voices available",                  // 29
    "Unknown error",                                 // 30
    "The MOD music has no sequence data",            // 31
    "No internet connection could be opened",        // 32
    "Couldn't create the file",                      // 33
    "Effects are not enabled",                       // 34
    "The channel is playing",                        // 35
    "Unknown error",                                 // 36
    "Requested data is not available",               // 37
    "The channel is a \"decoding channel\"",         // 38
    "A sufficient DirectX version is not installed", // 39
    "Connection timedout",                           // 40
    "Unsupported file format",                       // 41
    "Unavailable speaker",                           // 42
    "Invalid BASS version (used by add-ons)",        // 43
    "Codec is not available/supported",              // 44
};

std::string AudioErrorText(int code) {
    if (!IsKnownErrorCode(code)) return "Unknown error";
    return TAudioErrorTexts[static_cast<size_t>(code + 1)];
}

std::string AudioErrorMessage(std::string_view text, int code) {
    std::string message(text);
    message += "\r\n(error code: ";
    message += AudioErrorText(code);
    message += ")";
    return message;
}

TEngineStartResult InitAudioEngine(AudioLibrary& library, void* window) {
    library.BASS_Free();
    if ((library.BASS_GetVersion() >> 16) != (BASS_VERSION >> 16))
        return {TEngineStartResult::Outcome::WrongVersion, "An incorrect version of BASS.DLL was loaded"};
    if (!library.BASS_Init(-1, 44100, 0, window, nullptr))
        return {TEngineStartResult::Outcome::NoDevice,
                AudioErrorMessage("Can't initialize device", library.BASS_ErrorGetCode())};
    // A missing add-on is not reported: its formats fail later, when opened.
    static constexpr const char* kPlugins[] = {"bass_aac.dll", "basswma.dll",  "bassenc.dll", "bassopus.dll",
                                               "basswebm.dll", "bassflac.dll", "basshls.dll", "bass_ac3.dll",
                                               "bass_mpc.dll", "bassdsd.dll",  "basswv.dll"};
    for (const char* plugin : kPlugins)
        library.BASS_PluginLoad(plugin, 0);
    library.BASS_SetConfig(BASS_CONFIG_NET_PLAYLIST, 1);
    library.BASS_SetConfig(BASS_CONFIG_FLOATDSP, 1);
    library.BASS_SetConfig(BASS_CONFIG_NET_PLAYLIST, 1);
    // The worker does its own buffering wait.
    library.BASS_SetConfig(BASS_CONFIG_NET_PREBUF, 0);
    return {};
}

} // namespace lumaro
