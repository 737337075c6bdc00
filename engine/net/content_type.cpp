#include "engine/net/content_type.h"

#include <array>
#include <utility>

namespace lumaro::engine {

namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

// Media types that name one FFmpeg demuxer. Several spellings seen on real
// servers are kept (audio/aacp for HE-AAC, audio/x-* forms, Ogg as application/*).
constexpr std::array<std::pair<std::string_view, const char*>, 27> kFormats{{
    {"audio/mpeg", "mp3"},
    {"audio/mp3", "mp3"},
    {"audio/mpeg3", "mp3"},
    {"audio/x-mpeg", "mp3"},
    {"audio/x-mp3", "mp3"},
    {"audio/mpg", "mp3"},
    {"audio/aac", "aac"},
    {"audio/aacp", "aac"},
    {"audio/x-aac", "aac"},
    {"audio/x-aacp", "aac"},
    {"audio/ogg", "ogg"},
    {"application/ogg", "ogg"},
    {"audio/x-ogg", "ogg"},
    {"application/x-ogg", "ogg"},
    {"audio/vorbis", "ogg"},
    {"audio/opus", "ogg"},
    {"audio/webm", "webm"},
    {"audio/flac", "flac"},
    {"audio/x-flac", "flac"},
    {"audio/x-ms-wma", "asf"},
    {"video/x-ms-asf", "asf"},
    {"audio/x-ms-asf", "asf"},
    {"application/vnd.ms-asf", "asf"},
    {"audio/wav", "wav"},
    {"audio/x-wav", "wav"},
    {"audio/ac3", "ac3"},
    {"video/mp2t", "mpegts"},
}};

constexpr std::array<std::string_view, 13> kPlaylistTypes{
    "audio/x-scpls",
    "audio/scpls",
    "application/pls+xml",
    "audio/x-mpegurl",
    "audio/mpegurl",
    "application/x-mpegurl",
    "application/vnd.apple.mpegurl",
    "video/x-ms-asx",
    "video/x-ms-wax",
    "audio/x-ms-wax",
    "video/x-ms-wvx",
    "application/xspf+xml",
    "application/x-ms-asx",
};

} // namespace

std::string MediaType(std::string_view content_type) {
    std::string out;
    for (char c : content_type) {
        if (c == ';') break;
        if (c == ' ' || c == '\t') continue;
        out.push_back(Lower(c));
    }
    return out;
}

const char* FfmpegFormatForContentType(std::string_view content_type) {
    const std::string type = MediaType(content_type);
    for (const auto& [name, format] : kFormats)
        if (type == name) return format;
    return nullptr;
}

ContentKind ClassifyContentType(std::string_view content_type) {
    const std::string type = MediaType(content_type);
    for (std::string_view p : kPlaylistTypes)
        if (type == p) return ContentKind::kPlaylist;
    if (FfmpegFormatForContentType(type)) return ContentKind::kAudio;
    if (type.empty() || type == "application/octet-stream" || type == "binary/octet-stream" ||
        type == "text/plain" || type == "application/xml" || type == "text/xml" ||
        type == "application/x-unknown")
        return ContentKind::kUnknown;
    // Any other audio/* (audio/x-ape, audio/mp4, ...) and video/* may still hold a sound track.
    if (StartsWith(type, "audio/") || StartsWith(type, "video/")) return ContentKind::kAudio;
    return ContentKind::kNotAudio;
}

} // namespace lumaro::engine
