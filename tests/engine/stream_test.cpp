// URL streams: the server's reply lines and tags as sent, metadata syncs,
// buffering, playlists and the error codes of failed opens.
#include "tests/engine/engine_fixture.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace lumaro::engine::test {
namespace {

using namespace std::chrono_literals;
namespace serve = lumaro::testing::serve;

std::vector<std::string> SplitList(const char* list) {
    std::vector<std::string> out;
    if (!list) return out;
    for (const char* s = list; *s; s += std::strlen(s) + 1)
        out.emplace_back(s);
    return out;
}

void StatusProc(const void* buffer, DWORD length, void* user) {
    // Callback thread.
    if (buffer && length == 0) static_cast<Recorder*>(user)->Add(static_cast<const char*>(buffer));
}

struct MetaContext {
    AudioLibrary* engine;
    Recorder titles;
};
void MetaProc(HSYNC, DWORD channel, DWORD, void* user) {
    // Callback thread.
    auto* ctx = static_cast<MetaContext*>(user);
    const char* meta = ctx->engine->BASS_ChannelGetTags(channel, BASS_TAG_META);
    ctx->titles.Add(meta ? meta : "(null)");
}

using StreamTest = EngineTest;

TEST_F(StreamTest, ReplyLinesAndTagsArriveAsSent) {
    StartNull();
    serve::IcyScript script;
    script.headers = {"content-type:audio/mpeg", "icy-name:Jazz", "icy-br: 128", "icy-genre:Smooth Jazz"};
    script.metaint = 4000;
    script.audio = MakeMp3("0.3*sin(2*PI*440*t)", "0.3*sin(2*PI*440*t)", 1.0);
    script.blocks = {"StreamTitle='A - B';StreamUrl='';"};
    server.Handle("/icy", serve::Icy(script));

    Recorder status;
    const HSTREAM h =
        engine.BASS_StreamCreateURL(server.Url("/icy").c_str(), 0, BASS_STREAM_STATUS, &StatusProc, &status);
    ASSERT_NE(h, 0u) << engine.BASS_ErrorGetCode();
    const std::vector<std::string> reply = {"ICY 200 OK",  "content-type:audio/mpeg", "icy-name:Jazz",
                                            "icy-br: 128", "icy-genre:Smooth Jazz",   "icy-metaint:4000"};
    EXPECT_EQ(status.Items(), reply);
    EXPECT_EQ(SplitList(engine.BASS_ChannelGetTags(h, BASS_TAG_HTTP)), reply);
    EXPECT_EQ(SplitList(engine.BASS_ChannelGetTags(h, BASS_TAG_ICY)),
              (std::vector<std::string>{"icy-name:Jazz", "icy-br: 128", "icy-genre:Smooth Jazz",
                                        "icy-metaint:4000"}));
    ASSERT_TRUE(WaitFor([&] { return engine.BASS_ChannelGetTags(h, BASS_TAG_META) != nullptr; }));
    EXPECT_STREQ(engine.BASS_ChannelGetTags(h, BASS_TAG_META), "StreamTitle='A - B';StreamUrl='';");
    EXPECT_EQ(engine.BASS_ChannelGetTags(h, BASS_TAG_WMA_META), nullptr);
    EXPECT_EQ(engine.BASS_ErrorGetCode(), BASS_ERROR_NOTAVAIL);
    EXPECT_EQ(engine.BASS_ChannelGetTags(h, 99), nullptr);
    EXPECT_EQ(engine.BASS_ErrorGetCode(), BASS_ERROR_ILLTYPE);

    // A plain HTTP reply has no ICY lines and no metadata.
    const HSTREAM plain = Open(ServeMp3("/plain", script.audio));
    EXPECT_EQ(SplitList(engine.BASS_ChannelGetTags(plain, BASS_TAG_HTTP)).front(), "HTTP/1.0 200 OK");
    EXPECT_EQ(engine.BASS_ChannelGetTags(plain, BASS_TAG_ICY), nullptr);
    EXPECT_EQ(engine.BASS_ChannelGetTags(plain, BASS_TAG_META), nullptr);
}

TEST_F(StreamTest, EachNewMetadataBlockCallsTheSyncOnce) {
    StartNull();
    std::vector<std::string> blocks;
    for (int i = 1; i <= 14; ++i)
        blocks.push_back("StreamTitle='Artist - Song " + std::to_string(i) + "';");
    blocks[5] = "";        // no block at this point: no call
    blocks[9] = blocks[8]; // the same block again: no call
    const std::string url = ServeLiveIcy("/live", {"content-type:audio/mpeg"}, 4000,
                                         MakeMp3("0.3*sin(2*PI*440*t)", "0.3*sin(2*PI*440*t)", 4.0), blocks);
    const HSTREAM h = Open(url);
    MetaContext ctx{&engine, {}};
    ASSERT_NE(engine.BASS_ChannelSetSync(h, BASS_SYNC_META, 0, &MetaProc, &ctx), 0u);
    ASSERT_TRUE(engine.BASS_ChannelPlay(h, kFalse));
    ASSERT_TRUE(WaitFor([&] {
        auto t = ctx.titles.Items();
        return !t.empty() && t.back() == blocks.back();
    }));
    // Blocks that came before the sync was set are not repeated; from then on
    // each new block gives one call, in order, with the raw block as tag 5.
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < blocks.size(); ++i)
        if (!blocks[i].empty() && (i == 0 || blocks[i] != blocks[i - 1])) expected.push_back(blocks[i]);
    const auto titles = ctx.titles.Items();
    ASSERT_GE(titles.size(), 6u);
    EXPECT_TRUE(std::equal(titles.rbegin(), titles.rend(), expected.rbegin()));
    EXPECT_STREQ(engine.BASS_ChannelGetTags(h, BASS_TAG_META), blocks.back().c_str());
}

// One link of a chained Ogg stream as a live source sends it at a title
// change: its own serial number and a fresh comment header.
std::string OggLink(const std::string& codec, int serial, double seconds, const std::string& artist,
                    const std::string& title) {
    std::string cmd =
        "ffmpeg -nostdin -loglevel error -f lavfi -i \"sine=f=440:d=" + std::to_string(seconds) +
        "\" -ac 2 -c:a " + codec + " -b:a 64k -serial_offset " + std::to_string(serial);
    if (!artist.empty()) cmd += " -metadata artist=\"" + artist + "\"";
    if (!title.empty()) cmd += " -metadata title=\"" + title + "\"";
    return Capture(cmd + " -f ogg -");
}

struct OggTitleCase {
    const char* name;
    const char* codec;
};

// Ogg streams carry their titles as comments, a new set at each link. Without
// ICY metadata they reach tag 5 as ICY blocks would (a quote inside kept as
// is), and each change calls the sync once; a link without a title, or with
// the same one again, calls nothing.
TEST_F(StreamTest, TitlesInsideOggStreamsReachTheMetadataTag) {
    StartDisk();
    const std::vector<OggTitleCase> cases = {{"vorbis", "libvorbis"}, {"opus", "libopus"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string ogg =
            OggLink(c.codec, 100, 3.0, "Band A", "First") + OggLink(c.codec, 200, 1.0, "", "It's Two") +
            OggLink(c.codec, 300, 1.0, "", "") + OggLink(c.codec, 400, 1.0, "", "It's Two") +
            OggLink(c.codec, 500, 1.0, "Ünï Band", "Third");
        ASSERT_GT(ogg.size(), 10000u);
        const std::string path = std::string("/ogg-") + c.name;
        server.Handle(path,
                      serve::Paced("HTTP/1.0 200 OK\r\nContent-Type: audio/ogg\r\n\r\n", ogg, 4096, 10ms));
        const HSTREAM h = Open(server.Url(path));
        ASSERT_NE(h, 0u);
        // The first link's title comes with its first packets; the decoder
        // runs at most a second ahead of the output, so before playing it
        // cannot reach the second link.
        ASSERT_TRUE(WaitFor([&] { return engine.BASS_ChannelGetTags(h, BASS_TAG_META) != nullptr; }));
        EXPECT_STREQ(engine.BASS_ChannelGetTags(h, BASS_TAG_META), "StreamTitle='Band A - First';");
        MetaContext ctx{&engine, {}};
        ASSERT_NE(engine.BASS_ChannelSetSync(h, BASS_SYNC_META, 0, &MetaProc, &ctx), 0u);
        ASSERT_TRUE(engine.BASS_ChannelPlay(h, kFalse));
        ASSERT_TRUE(WaitFor([&] {
            const auto t = ctx.titles.Items();
            return !t.empty() && t.back() == "StreamTitle='Ünï Band - Third';";
        }));
        EXPECT_EQ(ctx.titles.Items(),
                  (std::vector<std::string>{"StreamTitle='It's Two';", "StreamTitle='Ünï Band - Third';"}));
        EXPECT_STREQ(engine.BASS_ChannelGetTags(h, BASS_TAG_META), "StreamTitle='Ünï Band - Third';");
        engine.BASS_StreamFree(h);
    }

    // A server that sends ICY metadata has the last word: the comments of
    // the Ogg stream inside are not mixed in.
    serve::IcyScript script;
    script.headers = {"content-type:audio/ogg"};
    script.metaint = 4000;
    script.audio = OggLink("libvorbis", 100, 2.0, "Inner", "Comment");
    script.blocks = {"StreamTitle='Icy - Title';"};
    server.Handle("/icy-ogg", serve::Icy(script));
    const HSTREAM icy = Open(server.Url("/icy-ogg"));
    ASSERT_TRUE(WaitFor([&] { return engine.BASS_ChannelGetTags(icy, BASS_TAG_META) != nullptr; }));
    ASSERT_TRUE(engine.BASS_ChannelPlay(icy, kFalse));
    PlayToEnd(icy);
    EXPECT_STREQ(engine.BASS_ChannelGetTags(icy, BASS_TAG_META), "StreamTitle='Icy - Title';");
}

TEST_F(StreamTest, ChannelInfoDescribesTheSource) {
    StartNull();
    server.Handle("/mono", serve::Http("audio/mpeg", lumaro::testing::ToneMp3(1.0)));
    const HSTREAM mono = Open(server.Url("/mono"));
    const HSTREAM stereo = Open(ServeMp3("/stereo", MakeMp3("0.1*sin(2*PI*300*t)", "0", 1.0)));
    BASS_CHANNELINFO info{};
    ASSERT_TRUE(engine.BASS_ChannelGetInfo(mono, &info));
    EXPECT_EQ(info.freq, 44100u);
    EXPECT_EQ(info.chans, 1u);
    ASSERT_TRUE(engine.BASS_ChannelGetInfo(stereo, &info));
    EXPECT_EQ(info.chans, 2u);
    EXPECT_STREQ(info.filename, server.Url("/stereo").c_str());
}

TEST_F(StreamTest, BufferingGrowsUntilTheBufferIsFull) {
    StartNull();
    const std::string mp3 = MakeMp3("0.3*sin(2*PI*440*t)", "0.3*sin(2*PI*440*t)", 8.0);
    // Header, then 2 KiB every 20 ms: the buffer fills over about half a second.
    server.Handle("/paced",
                  serve::Paced("HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n", mp3, 2048, 20ms));
    const HSTREAM h = Open(server.Url("/paced"));
    const QWORD length = engine.BASS_StreamGetFilePosition(h, BASS_FILEPOS_END);
    EXPECT_EQ(length, 32u * 1024);
    std::vector<QWORD> seen;
    ASSERT_TRUE(WaitFor([&] {
        const QWORD buffered = engine.BASS_StreamGetFilePosition(h, BASS_FILEPOS_BUFFER);
        if (seen.empty() || seen.back() != buffered) seen.push_back(buffered);
        return buffered * 100 / length > 75;
    }));
    EXPECT_GE(seen.size(), 4u) << "the amount buffered rose in steps";
    const QWORD percent = engine.BASS_StreamGetFilePosition(h, BASS_FILEPOS_WMA_BUFFER);
    EXPECT_GT(percent, 75u);
    EXPECT_LE(percent, 100u);
    EXPECT_EQ(engine.BASS_StreamGetFilePosition(h, 77), BASS_POSITION_FAILED);
    EXPECT_EQ(engine.BASS_ErrorGetCode(), BASS_ERROR_ILLTYPE);
}

TEST_F(StreamTest, PlaylistEntriesAreTriedInOrderWhenResolvingIsOn) {
    StartNull();
    const std::string good = ServeMp3("/good.mp3", MakeMp3("0.2*sin(2*PI*500*t)", "0", 1.0));
    server.Handle("/dead.mp3", serve::NotFound());
    server.Handle("/list.pls", serve::Http("audio/x-scpls",
                                           "[playlist]\nNumberOfEntries=2\nFile1=" + server.Url("/dead.mp3") +
                                               "\nFile2=" + good + "\nVersion=2\n"));
    const std::string list = server.Url("/list.pls");
    ASSERT_TRUE(engine.BASS_SetConfig(BASS_CONFIG_NET_PLAYLIST, 0));
    EXPECT_EQ(engine.BASS_StreamCreateURL(list.c_str(), 0, 0, nullptr, nullptr), 0u);
    EXPECT_EQ(engine.BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
    ASSERT_TRUE(engine.BASS_SetConfig(BASS_CONFIG_NET_PLAYLIST, 1));
    const HSTREAM h = Open(list);
    ASSERT_NE(h, 0u);
    BASS_CHANNELINFO info{};
    ASSERT_TRUE(engine.BASS_ChannelGetInfo(h, &info));
    EXPECT_EQ(info.chans, 2u);
}

// Whether a ".m3u8" URL is HLS is for its body to say: one that holds a
// plain or extended m3u without HLS tags is a playlist like any other, under
// whatever type the server names.
TEST_F(StreamTest, M3u8UrlsThatArePlainPlaylistsAreResolved) {
    StartNull();
    const std::string entry =
        ServeMp3("/entry.mp3", MakeMp3("0.3*sin(2*PI*500*t)", "0.3*sin(2*PI*500*t)", 2.0));
    struct Case {
        const char* path;
        const char* type;
        std::string body;
    };
    const std::vector<Case> cases = {
        {"/bare/live.m3u8", "audio/x-mpegurl", entry + "\n"},
        {"/extended/live.m3u8", "application/vnd.apple.mpegurl",
         "#EXTM3U\n#EXTINF:-1,Radio\n" + entry + "\n"},
        {"/as-text/live.m3u8", "text/plain", "#EXTM3U\r\n\r\n" + entry + "\r\n"},
        {"/upper-case/LIVE.M3U8", "application/x-mpegurl", entry + "\n"},
    };
    ASSERT_TRUE(engine.BASS_SetConfig(BASS_CONFIG_NET_PLAYLIST, 1));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const std::string path = c.path;
        server.Handle(path, serve::Http(c.type, c.body));
        const HSTREAM h = Open(server.Url(path));
        ASSERT_NE(h, 0u);
        ASSERT_TRUE(engine.BASS_ChannelPlay(h, kFalse));
        EXPECT_TRUE(WaitFor([&] { return (engine.BASS_ChannelGetLevel(h) & 0xffff) > 6000; }));
        engine.BASS_StreamFree(h);
    }
}

TEST_F(StreamTest, EveryWayAServerMaySendAudioPlays) {
    StartNull();
    const std::string mp3 = MakeMp3("0.3*sin(2*PI*440*t)", "0.3*sin(2*PI*440*t)", 2.0);
    server.Handle("/plain", serve::Http("audio/mpeg", mp3));
    serve::IcyScript tiny;
    tiny.metaint = 100; // a metadata byte every 100 audio bytes, sent 7 bytes at a time
    tiny.audio = mp3;
    tiny.blocks = {"StreamTitle='x';"};
    tiny.send_size = 7;
    const std::vector<std::pair<const char*, lumaro::testing::TestHandler>> cases = {
        {"chunked", serve::Chunked("audio/mpeg", mp3, 1000)},
        {"redirect", serve::Redirect(302, server.Url("/plain"))},
        {"slow-start", serve::Delayed(400ms, serve::Http("audio/mpeg", mp3))},
        {"icy-small-pieces", serve::Icy(tiny)},
        {"icy-metaint-0", serve::Reply("ICY 200 OK", {"content-type:audio/mpeg", "icy-metaint:0"}, mp3)},
        {"icy-metaint-enormous",
         serve::Reply("ICY 200 OK", {"content-type:audio/mpeg", "icy-metaint:4000000000"}, mp3)},
        {"no-content-type", serve::Reply("HTTP/1.0 200 OK", {}, mp3)},
    };
    for (const auto& [name, handler] : cases) {
        SCOPED_TRACE(name);
        server.Handle(std::string("/") + name, handler);
        const HSTREAM h = Open(server.Url(std::string("/") + name));
        ASSERT_NE(h, 0u);
        ASSERT_TRUE(engine.BASS_ChannelPlay(h, kFalse));
        EXPECT_TRUE(WaitFor([&] { return (engine.BASS_ChannelGetLevel(h) & 0xffff) > 6000; }));
        EXPECT_TRUE(engine.BASS_StreamFree(h));
    }
}

TEST_F(StreamTest, AStalledStreamStaysActiveUntilFreed) {
    StartNull();
    const std::string mp3 = MakeMp3("0.3*sin(2*PI*440*t)", "0.3*sin(2*PI*440*t)", 2.0);
    // Half a second of audio, then the server goes quiet but keeps the connection.
    server.Handle("/stall",
                  serve::Stall("HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n" + mp3.substr(0, 12000)));
    const HSTREAM h = Open(server.Url("/stall"));
    ASSERT_TRUE(engine.BASS_ChannelPlay(h, kFalse));
    ASSERT_TRUE(WaitFor([&] { return engine.BASS_ChannelIsActive(h) == BASS_ACTIVE_STALLED; }));
    const std::uint64_t blocks = engine.MixedBlocks();
    ASSERT_TRUE(WaitFor([&] { return engine.MixedBlocks() > blocks + 10; }));
    EXPECT_EQ(engine.BASS_ChannelIsActive(h), BASS_ACTIVE_STALLED);
    EXPECT_TRUE(engine.BASS_StreamFree(h));
    EXPECT_EQ(engine.BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED);
}

TEST_F(StreamTest, WmaPlaysWithItsHeaderTags) {
    StartNull();
    const std::string wma =
        Capture("ffmpeg -nostdin -loglevel error -f lavfi -i \"sine=d=2\" -ac 2 -c:a wmav2 -b:a 64k "
                "-metadata title='Wma Title' -metadata author='Wma Artist' -f asf -");
    ASSERT_FALSE(wma.empty());
    server.Handle("/wma", serve::Http("audio/x-ms-wma", wma));
    const HSTREAM h = Open(server.Url("/wma"));
    ASSERT_NE(h, 0u);
    const auto tags = SplitList(engine.BASS_ChannelGetTags(h, BASS_TAG_WMA));
    EXPECT_NE(std::find(tags.begin(), tags.end(), "title=Wma Title"), tags.end());
    EXPECT_NE(std::find(tags.begin(), tags.end(), "artist=Wma Artist"), tags.end());
    EXPECT_EQ(engine.BASS_ChannelGetTags(h, BASS_TAG_ICY), nullptr);
    ASSERT_TRUE(engine.BASS_ChannelPlay(h, kFalse));
    EXPECT_TRUE(WaitFor([&] { return (engine.BASS_ChannelGetLevel(h) & 0xffff) > 2000; }));
    // Header tags describe the file, not what a station plays now: no title block.
    EXPECT_EQ(engine.BASS_ChannelGetTags(h, BASS_TAG_META), nullptr);
}

TEST_F(StreamTest, HlsPlaysThroughItsPlaylist) {
    StartNull();
    const auto dir = std::filesystem::path(::testing::TempDir()) / ("hls_" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    ASSERT_EQ(std::system(
                  ("ffmpeg -nostdin -loglevel error -f lavfi -i \"aevalsrc=0.3*sin(2*PI*440*t):s=44100:d=4\" "
                   "-c:a aac -b:a 96k -f hls -hls_time 1 -hls_list_size 0 -hls_segment_filename '" +
                   (dir / "seg%d.ts").string() + "' '" + (dir / "live.m3u8").string() + "'")
                      .c_str()),
              0);
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::string name = entry.path().filename().string();
        server.Handle(
            "/hls/" + name,
            serve::Http(name.ends_with(".m3u8") ? "application/vnd.apple.mpegurl" : "video/mp2t", bytes));
    }
    std::filesystem::remove_all(dir);
    const HSTREAM h = Open(server.Url("/hls/live.m3u8"));
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(engine.BASS_ChannelPlay(h, kFalse));
    EXPECT_TRUE(WaitFor([&] { return (engine.BASS_ChannelGetLevel(h) & 0xffff) > 6000; }));
    EXPECT_GT(engine.BASS_StreamGetFilePosition(h, BASS_FILEPOS_END), 0u);
}

struct FailCase {
    const char* name;
    std::function<lumaro::testing::TestHandler()> handler;
    int error;
};

TEST_F(StreamTest, FailedOpensGiveTheMatchingErrorWithinTheTimeOut) {
    StartNull();
    const std::vector<FailCase> cases = {
        {"not-found", [] { return serve::NotFound(); }, BASS_ERROR_FILEOPEN},
        {"garbage", [] { return serve::Http("audio/mpeg", lumaro::testing::PatternBytes(20000)); },
         BASS_ERROR_FILEFORM},
        {"html", [] { return serve::Http("text/html", "<html><body>hi</body></html>"); },
         BASS_ERROR_FILEFORM},
        {"never-answers", [] { return serve::NeverAnswer(); }, BASS_ERROR_TIMEOUT},
        {"endless-headers", [] { return serve::EndlessHeaders(); }, BASS_ERROR_FILEOPEN},
        {"stalls-in-header-bytes",
         [] { return serve::Stall("HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\nID3"); },
         BASS_ERROR_TIMEOUT},
        {"closes-early",
         [] { return serve::EarlyClose("HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n\xff\xfb"); },
         BASS_ERROR_FILEFORM},
    };
    ASSERT_TRUE(engine.BASS_SetConfig(BASS_CONFIG_NET_TIMEOUT, 700));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = std::string("/") + c.name;
        server.Handle(path, c.handler());
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(engine.BASS_StreamCreateURL(server.Url(path).c_str(), 0, 0, nullptr, nullptr), 0u);
        EXPECT_EQ(engine.BASS_ErrorGetCode(), c.error);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 700ms + 400ms);
    }
    // Nothing listens on a port just released.
    std::string refused;
    {
        lumaro::testing::TestServer gone;
        refused = gone.Url("/x");
    }
    EXPECT_EQ(engine.BASS_StreamCreateURL(refused.c_str(), 0, 0, nullptr, nullptr), 0u);
    EXPECT_EQ(engine.BASS_ErrorGetCode(), BASS_ERROR_NONET);
    for (const char* bad : {"", "nonsense", "ftp://127.0.0.1/x.mp3", "file:///etc/passwd.m3u8"}) {
        EXPECT_EQ(engine.BASS_StreamCreateURL(bad, 0, 0, nullptr, nullptr), 0u) << bad;
        EXPECT_EQ(engine.BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN) << bad;
    }
}

} // namespace
} // namespace lumaro::engine::test
