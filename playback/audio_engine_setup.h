#pragma once
// Starting the audio engine and the texts of its error codes. No widgets: the
// window shows the outcome in a message box.

#include "engine/audio_library.h"

#include <array>
#include <string>

namespace lumaro {

inline constexpr int kLastKnownErrorCode = 44;
// Stands for any code the table does not know; its text is "Unknown error".
inline constexpr int kUnknownErrorCode = kLastKnownErrorCode + 1;
constexpr bool IsKnownErrorCode(long long code) { return code >= -1 && code <= kLastKnownErrorCode; }

// The engine's error texts, indexed by error code + 1 (codes -1 .. 44).
extern const std::array<const char*, kLastKnownErrorCode + 2> TAudioErrorTexts;

// The text for an error code; a code outside -1 .. 44 gives "Unknown error".
std::string AudioErrorText(int code);

// ShowAudioError's message: text, CR LF, "(error code: ", the code's text, ")".
std::string AudioErrorMessage(std::string_view text, int code);

// What the window does after InitAudioEngine.
struct TEngineStartResult {
    enum class Outcome {
        Ready,        // nothing to show
        WrongVersion, // box without owner, error icon, then end the program
        NoDevice,     // ShowAudioError box owned by the window, then end the program
    };
    Outcome Result = Outcome::Ready;
    std::string Message; // UTF-8; empty when Ready
    bool EndProgram() const { return Result != Outcome::Ready; }
};

// Frees what an earlier start left, checks the engine's version, opens the
// default output at 44100 Hz bound to window, loads the format add-ons and sets
// the network options the connection worker relies on. Window thread.
TEngineStartResult InitAudioEngine(engine::AudioLibrary& library, void* window);

} // namespace lumaro
