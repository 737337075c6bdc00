// Playlist detection and parsing on arbitrary bytes under each content type
// and URL the engine meets: no crash, and every entry is an absolute URL.
#include "engine/net/content_type.h"
#include "engine/net/playlist.h"

#include <cstdlib>
#include <string_view>

using namespace lumaro::engine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static constexpr std::string_view kTypes[] = {"audio/x-scpls",
                                                  "audio/x-mpegurl",
                                                  "video/x-ms-asf",
                                                  "application/xspf+xml",
                                                  "text/plain",
                                                  "application/vnd.apple.mpegurl",
                                                  "",
                                                  "audio/mpeg"};
    static constexpr std::string_view kUrls[] = {"http://h.example/a/b/list.pls?x=1",
                                                 "http://h.example/x.m3u8", "https://h.example:8443/",
                                                 "http://h.example"};
    const std::string_view type = kTypes[data[0] % 8];
    const std::string_view url = kUrls[(data[0] >> 3) % 4];
    const std::string_view body(reinterpret_cast<const char*>(data + 1), size - 1);

    const PlaylistKind kind = DetectPlaylist(type, url, body);
    const auto entries = ParsePlaylist(type, url, body);
    if (kind == PlaylistKind::kHls || kind == PlaylistKind::kNone) {
        if (!entries.empty()) std::abort();
    }
    for (const auto& entry : entries)
        if (entry.empty() || entry.find(':') == std::string::npos) std::abort();
    for (PlaylistKind k : {PlaylistKind::kPls, PlaylistKind::kM3u, PlaylistKind::kAsx, PlaylistKind::kXspf})
        for (const auto& entry : ParsePlaylistAs(k, url, body))
            if (entry.empty()) std::abort();
    // The body as a reference and as a content type.
    (void)ResolveUrl(url, body);
    (void)ResolveUrl(body, "../x");
    (void)IsHlsReply(type, body, body);
    (void)ClassifyContentType(body);
    (void)FfmpegFormatForContentType(body);
    return 0;
}
