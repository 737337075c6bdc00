// Playlist detection and parsing on playlists as stations serve them, each
// case with the one quirk it covers; URL resolution; HLS detection; the
// content-type map.
#include "engine/net/content_type.h"
#include "engine/net/playlist.h"

#include <gtest/gtest.h>

using namespace lumaro::engine;

namespace {

using Urls = std::vector<std::string>;

struct PlaylistCase {
    const char* quirk;
    const char* content_type;
    const char* url;
    std::string body;
    PlaylistKind kind;
    Urls entries;
};

const std::vector<PlaylistCase>& PlaylistCases() {
    static const std::vector<PlaylistCase> cases = {
        {"pls as Shoutcast serves it",
         "audio/x-scpls",
         "http://radio.example/listen.pls",
         "[playlist]\r\nNumberOfEntries=2\r\nFile1=http://s1.example:8000/"
         "stream\r\nTitle1=One\r\nLength1=-1\r\n"
         "File2=http://s2.example:8000/stream\r\nTitle2=Two\r\nLength2=-1\r\nVersion=2\r\n",
         PlaylistKind::kPls,
         {"http://s1.example:8000/stream", "http://s2.example:8000/stream"}},
        {"pls entries out of order, lower-case keys, blanks around =",
         "audio/x-scpls",
         "http://r.example/a.pls",
         "[Playlist]\nfile2 = http://b.example/\nfile1=http://a.example/\n",
         PlaylistKind::kPls,
         {"http://a.example/", "http://b.example/"}},
        {"pls served as text/plain with a UTF-8 BOM",
         "text/plain",
         "http://r.example/tunein?id=5",
         "\xEF\xBB\xBF[playlist]\nFile1=http://a.example/live\n",
         PlaylistKind::kPls,
         {"http://a.example/live"}},
        {"pls with a relative entry",
         "audio/x-scpls",
         "http://r.example/lists/x.pls",
         "[playlist]\nFile1=../live/high\nFile2=/root.mp3\n",
         PlaylistKind::kPls,
         {"http://r.example/live/high", "http://r.example/root.mp3"}},
        {"bare m3u, CR line ends only",
         "audio/x-mpegurl",
         "http://r.example/x.m3u",
         "http://a.example/1\rhttp://a.example/2\r",
         PlaylistKind::kM3u,
         {"http://a.example/1", "http://a.example/2"}},
        {"extended m3u: #EXTINF and blank lines skipped",
         "audio/mpegurl",
         "http://r.example/x.m3u",
         "#EXTM3U\n\n#EXTINF:-1,Radio One\nhttp://a.example/one\n\n#EXTINF:-1,Radio "
         "Two\nhttps://b.example/two\n",
         PlaylistKind::kM3u,
         {"http://a.example/one", "https://b.example/two"}},
        {"m3u8 that is a plain UTF-8 m3u, not HLS",
         "application/octet-stream",
         "http://r.example/list.m3u8",
         "#EXTM3U\n#EXTINF:-1,Ünï\nhttp://a.example/ü\n",
         PlaylistKind::kM3u,
         {"http://a.example/ü"}},
        {"m3u found by its body alone: text/plain listing URLs",
         "text/plain",
         "http://r.example/get?x=1",
         "http://a.example:8000/;stream.mp3\n",
         PlaylistKind::kM3u,
         {"http://a.example:8000/;stream.mp3"}},
        {"m3u with a relative entry and a query",
         "audio/x-mpegurl",
         "http://r.example/dir/list.m3u?token=1",
         "live.mp3?x=2\n",
         PlaylistKind::kM3u,
         {"http://r.example/dir/live.mp3?x=2"}},
        {"asx with upper-case tags and an &amp; in the href",
         "video/x-ms-asf",
         "http://r.example/x.asx",
         "<ASX version=\"3.0\">\r\n<TITLE>Radio</TITLE>\r\n<ENTRY><REF "
         "HREF=\"http://a.example/s?a=1&amp;b=2\" />"
         "</ENTRY>\r\n<Entry><Ref href='mms://b.example/live'/></Entry>\r\n</ASX>\r\n",
         PlaylistKind::kAsx,
         {"http://a.example/s?a=1&b=2", "mms://b.example/live"}},
        {"asx nested playlist via entryref, kept in document order",
         "video/x-ms-asx",
         "http://r.example/x.asx",
         "<asx version=\"3.0\"><entryref href=\"http://a.example/more.asx\"/>"
         "<entry><ref href=\"http://b.example/s\"/></entry></asx>",
         PlaylistKind::kAsx,
         {"http://a.example/more.asx", "http://b.example/s"}},
        {"Windows Media [Reference] file",
         "video/x-ms-asf",
         "http://r.example/s.asx",
         "[Reference]\r\nRef1=http://a.example/live?MSWMExt=.asf\r\nRef2=http://b.example/live\r\n",
         PlaylistKind::kAsx,
         {"http://a.example/live?MSWMExt=.asf", "http://b.example/live"}},
        {"xspf with blanks around the location and an entity",
         "application/xspf+xml",
         "http://r.example/x.xspf",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<playlist version=\"1\" "
         "xmlns=\"http://xspf.org/ns/0/\">\n"
         "<trackList>\n<track><title>One</title><location>\n  "
         "http://a.example/1?x=1&amp;y=2\n</location></track>\n"
         "<track><location>two.ogg</location></track>\n</trackList>\n</playlist>\n",
         PlaylistKind::kXspf,
         {"http://a.example/1?x=1&y=2", "http://r.example/two.ogg"}},
        {"playlist type, but not one entry that is a URL",
         "audio/x-scpls",
         "http://r.example/x.pls",
         "[playlist]\nNumberOfEntries=0\n",
         PlaylistKind::kPls,
         {}},
        {"HLS media playlist is left to FFmpeg",
         "application/vnd.apple.mpegurl",
         "http://r.example/live",
         "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:10\n#EXTINF:10,\nseg1.aac\n",
         PlaylistKind::kHls,
         {}},
        {"HLS master playlist behind an .m3u8 URL",
         "text/plain",
         "https://r.example/master.m3u8?s=1",
         "#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=128000\nchunks.m3u8\n",
         PlaylistKind::kHls,
         {}},
        {"MP3 bytes behind a .m3u URL are audio",
         "audio/mpeg",
         "http://r.example/live.m3u",
         std::string("ID3\x04\0\0\0\0\0\x10\xFF\xFB\x90\x44", 14),
         PlaylistKind::kNone,
         {}},
        {"HTML error page is no playlist",
         "text/html",
         "http://r.example/stream",
         "<html><body>Go away</body></html>",
         PlaylistKind::kNone,
         {}},
    };
    return cases;
}

TEST(PlaylistTest, DetectsAndParsesRealPlaylists) {
    for (const PlaylistCase& c : PlaylistCases()) {
        SCOPED_TRACE(c.quirk);
        EXPECT_EQ(DetectPlaylist(c.content_type, c.url, c.body), c.kind);
        EXPECT_EQ(ParsePlaylist(c.content_type, c.url, c.body), c.entries);
    }
}

TEST(PlaylistTest, ResolvesReferencesAgainstTheBase) {
    const std::string base = "http://h.example:8000/a/b/list.pls?q=1#f";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"https://o.example/x", "https://o.example/x"},
        {"//o.example/x", "http://o.example/x"},
        {"/x", "http://h.example:8000/x"},
        {"x", "http://h.example:8000/a/b/x"},
        {"./x", "http://h.example:8000/a/b/x"},
        {"../x", "http://h.example:8000/a/x"},
        {"../../../../x", "http://h.example:8000/x"},
        {"?z=2", "http://h.example:8000/a/b/list.pls?z=2"},
        {"  x  ", "http://h.example:8000/a/b/x"},
        {"", ""},
    };
    for (const auto& [ref, expected] : cases)
        EXPECT_EQ(ResolveUrl(base, ref), expected) << ref;
    EXPECT_EQ(ResolveUrl("http://h.example", "x"), "http://h.example/x");
}

TEST(PlaylistTest, TellsHlsUrlsAndReplies) {
    EXPECT_TRUE(LooksLikeHlsUrl("http://h.example/live/index.M3U8"));
    EXPECT_TRUE(LooksLikeHlsUrl("https://h.example/a.m3u8?token=x#y"));
    EXPECT_FALSE(LooksLikeHlsUrl("http://h.example/a.m3u"));
    EXPECT_FALSE(LooksLikeHlsUrl("http://h.example/m3u8/stream"));
    EXPECT_FALSE(LooksLikeHlsUrl("http://h.example.m3u8"));

    const std::string hls = "#EXTM3U\n#EXT-X-TARGETDURATION:6\n";
    EXPECT_TRUE(IsHlsReply("audio/mpegurl", "http://h.example/live", hls));
    EXPECT_TRUE(IsHlsReply("application/octet-stream", "http://h.example/i.m3u8", hls));
    EXPECT_FALSE(IsHlsReply("audio/mpegurl", "http://h.example/live", "#EXTM3U\nhttp://a.example/\n"));
    EXPECT_FALSE(IsHlsReply("audio/mpeg", "http://h.example/live", hls));
}

TEST(ContentTypeTest, MapsTypesToFfmpegFormats) {
    const std::vector<std::pair<std::string, const char*>> cases = {
        {"audio/mpeg", "mp3"},
        {"Audio/MPEG; charset=UTF-8", "mp3"},
        {"audio/aacp", "aac"},
        {"audio/aac", "aac"},
        {"audio/ogg", "ogg"},
        {"application/ogg", "ogg"},
        {"audio/flac", "flac"},
        {"audio/x-ms-wma", "asf"},
        {"video/x-ms-asf", "asf"},
        {"audio/webm", "webm"},
        {"application/octet-stream", nullptr},
        {"audio/x-mpegurl", nullptr},
        {"", nullptr},
    };
    for (const auto& [type, format] : cases) {
        const char* got = FfmpegFormatForContentType(type);
        EXPECT_EQ(got ? std::string(got) : "(none)", format ? std::string(format) : "(none)") << type;
    }
}

TEST(ContentTypeTest, ClassifiesTypes) {
    EXPECT_EQ(ClassifyContentType("audio/mpeg"), ContentKind::kAudio);
    EXPECT_EQ(ClassifyContentType("audio/x-ape"), ContentKind::kAudio);
    EXPECT_EQ(ClassifyContentType("audio/x-scpls"), ContentKind::kPlaylist);
    EXPECT_EQ(ClassifyContentType("application/vnd.apple.mpegurl"), ContentKind::kPlaylist);
    EXPECT_EQ(ClassifyContentType(""), ContentKind::kUnknown);
    EXPECT_EQ(ClassifyContentType("application/octet-stream"), ContentKind::kUnknown);
    EXPECT_EQ(ClassifyContentType("text/html; charset=utf-8"), ContentKind::kNotAudio);
    EXPECT_EQ(ClassifyContentType("image/png"), ContentKind::kNotAudio);
}

} // namespace
