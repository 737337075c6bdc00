#pragma once
// What a reply's Content-Type says about its body. Pure functions.

#include <string>
#include <string_view>

namespace lumaro::engine {

// "Audio/MPEG; charset=x" -> "audio/mpeg": the media type lower-cased, its
// parameters and blanks removed.
std::string MediaType(std::string_view content_type);

// The FFmpeg input format that demuxes a body of this content type, such as
// "mp3" for audio/mpeg, "aac" for audio/aac and audio/aacp, "ogg" for
// audio/ogg; nullptr when the type names no single format (so FFmpeg probes).
// Playlist types give nullptr.
const char* FfmpegFormatForContentType(std::string_view content_type);

enum class ContentKind {
    kAudio,    // names an audio or media container (audio/*, application/ogg, video/x-ms-asf, ...)
    kPlaylist, // a playlist type (audio/x-scpls, audio/x-mpegurl, application/xspf+xml, ...), HLS included
    kUnknown,  // absent, application/octet-stream, text/plain, xml: look at the bytes
    kNotAudio, // clearly not a stream: text/html, image/*, application/json, ...
};
ContentKind ClassifyContentType(std::string_view content_type);

} // namespace lumaro::engine
