#include "playback/stream_metadata.h"

#include <cstring>

namespace lumaro {

std::vector<TPlayerStatus> MessagesFromHeaders(const char* tags, bool singleString) {
    struct Prefix {
        std::string_view text;
        int code;
        std::string_view lead;
    };
    static constexpr Prefix kPrefixes[] = {
        {"icy-name:", kStatusName, ""},
        {"icy-br:", kStatusBitrate, "bitrate: "},
        {"title", kStatusName, ""},
        {"bitrate", kStatusBitrate, "bitrate: "},
    };
    std::vector<TPlayerStatus> messages;
    if (!tags) return messages;
    for (const char* s = tags; *s; s += std::strlen(s) + 1) {
        const std::string_view line(s);
        for (const Prefix& prefix : kPrefixes) {
            if (line.starts_with(prefix.text)) {
                TPlayerStatus message;
                message.Code = prefix.code;
                message.Text = std::string(prefix.lead) + std::string(line.substr(prefix.text.size()));
                messages.push_back(std::move(message));
                break;
            }
        }
        if (singleString) break;
    }
    return messages;
}

std::optional<std::string> TitleFromMetadata(std::string_view s) {
    constexpr std::string_view kKey = "StreamTitle=";
    const size_t p = s.find(kKey);
    if (p == std::string_view::npos) return std::nullopt;
    // 1-based positions as the format was defined: the title starts after the
    // key and its opening quote and stops before the character preceding the
    // first ";" (the closing quote).
    const long long start = static_cast<long long>(p) + 1 + 13;
    const size_t semicolon = s.find(';');
    const long long q = semicolon == std::string_view::npos ? 0 : static_cast<long long>(semicolon) + 1;
    const long long length = q - start - 1;
    if (length <= 0 || start - 1 >= static_cast<long long>(s.size())) return std::string();
    return std::string(s.substr(static_cast<size_t>(start - 1), static_cast<size_t>(length)));
}

const char* FirstTags(engine::AudioLibrary& library, engine::DWORD handle,
                      std::initializer_list<engine::DWORD> types) {
    for (engine::DWORD type : types)
        if (const char* tags = library.BASS_ChannelGetTags(handle, type)) return tags;
    return nullptr;
}

} // namespace lumaro
