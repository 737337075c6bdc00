#pragma once
// Playlist formats (pls, m3u and extended m3u, asx, xspf), HLS detection and
// URL resolution. Free of any I/O, so the fuzzer runs them.

#include <string>
#include <string_view>
#include <vector>

namespace lumaro::engine {

enum class PlaylistKind { kNone, kPls, kM3u, kAsx, kXspf, kHls };

// What the reply is, from its content type, its URL and the first bytes of its
// body (a few hundred bytes are enough). An .m3u8 or m3u with #EXT-X- tags is
// kHls (left to FFmpeg's HLS demuxer); bytes that look binary give kNone.
PlaylistKind DetectPlaylist(std::string_view content_type, std::string_view url, std::string_view head);

// The playlist's entry URLs in order, each resolved against the playlist's
// URL. Entries that are not URLs after resolution (no scheme) are dropped;
// empty for HLS or when nothing parses.
std::vector<std::string> ParsePlaylist(std::string_view content_type, std::string_view url,
                                       std::string_view bytes);
std::vector<std::string> ParsePlaylistAs(PlaylistKind kind, std::string_view url, std::string_view bytes);

// True when the URL's path ends in ".m3u8" (case-insensitive), before any
// query or fragment. A hint only: whether it is HLS takes the body too.
bool LooksLikeHlsUrl(std::string_view url);

// True for an HLS reply: an .m3u8 URL or an m3u content type
// (application/vnd.apple.mpegurl, application/x-mpegurl, audio/mpegurl,
// audio/x-mpegurl) whose body starts with #EXTM3U and holds an #EXT-X- tag.
bool IsHlsReply(std::string_view content_type, std::string_view url, std::string_view head);

// A reference resolved against a base URL, RFC 3986 style: absolute URLs
// unchanged, "//host/x", "/x", "x", "../x", "?q". Blanks around ref trimmed.
std::string ResolveUrl(std::string_view base, std::string_view ref);

} // namespace lumaro::engine
