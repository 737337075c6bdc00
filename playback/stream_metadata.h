#pragma once
// The player-status message that background threads send to the window, and
// the parsing of stream headers and metadata into such messages.

#include "engine/audio_library.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumaro {

// The private window message's number (kept for reference; the message travels
// as a blocking queued call).
inline constexpr int WM_PLAYER_STATUS = 1125;

enum TPlayerStatusCode : int {
    kStatusConnecting = 0,
    kStatusFailed = 1,      // Value: the engine's error code
    kStatusBuffering = 2,   // Value: percentage
    kStatusName = 3,        // Text: UTF-8
    kStatusBitrate = 4,     // Text: 8-bit
    kStatusTitle = 7,       // Text: UTF-8
    kStatusServerReply = 8, // Text: 8-bit
};

struct TPlayerStatus {
    TPlayerStatus(int code = 0, std::int64_t value = 0, std::string text = {}, std::uint32_t generation = 0)
        : Code(code), Value(value), Text(std::move(text)), Generation(generation) {}
    int Code = 0;
    std::int64_t Value = 0;
    std::string Text;
    // Stamp of the attempt that sent it; 0 = not tied to an attempt (the
    // metadata callback), always shown.
    std::uint32_t Generation = 0;
    bool operator==(const TPlayerStatus&) const = default;
};

// Name and bit-rate messages from a header tag block: NUL-terminated strings
// up to an empty one, or a single string when singleString. Prefixes
// "icy-name:", "icy-br:", "title", "bitrate" are matched case-sensitively and
// nothing is trimmed from the rest. Generation is left 0.
std::vector<TPlayerStatus> MessagesFromHeaders(const char* tags, bool singleString);

// The title in a metadata string: the text after "StreamTitle='" up to two
// characters before the first ";" of the whole string (empty when that leaves
// nothing); nullopt without "StreamTitle=". Never reads outside s.
std::optional<std::string> TitleFromMetadata(std::string_view s);

// First non-null tag block of the given types, in order.
const char* FirstTags(engine::AudioLibrary& library, engine::DWORD handle,
                      std::initializer_list<engine::DWORD> types);

} // namespace lumaro
