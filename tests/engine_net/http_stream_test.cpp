// HttpStream against the loopback server: replies as real stations send them
// (plain, ICY, chunked, redirects, playlists) and as hostile ones do. Every
// failure must come back with its error code and no test may hang.
#include "engine/core/engine_errors.h"
#include "engine/core/live_threads.h"
#include "engine/net/http_stream.h"
#include "tests/engine_net/test_server.h"
#include "tests/support/capture.h"
#include "tests/support/free_port.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <csignal>
#include <future>
#include <mutex>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

using namespace lumaro::engine;
using namespace lumaro::testing;
using namespace std::chrono_literals;

namespace {

// Equal byte strings, or where they part (binary bodies print badly).
::testing::AssertionResult SameBytes(const std::string& got, const std::string& want) {
    if (got == want) return ::testing::AssertionSuccess();
    std::size_t i = 0;
    while (i < got.size() && i < want.size() && got[i] == want[i])
        ++i;
    return ::testing::AssertionFailure()
           << "got " << got.size() << " bytes, want " << want.size() << ", first difference at " << i;
}

// What the callbacks saw, filled on the download thread.
struct Seen {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> lines, blocks;

    std::vector<std::string> Lines() {
        std::lock_guard lock(mutex);
        return lines;
    }
    std::vector<std::string> Blocks() {
        std::lock_guard lock(mutex);
        return blocks;
    }
};

class HttpStreamTest : public ::testing::Test {
protected:
    void TearDown() override {
        // Every download thread ends on its own once its stream is gone.
        EXPECT_TRUE(LiveThreads::WaitUntilNone(20s));
    }

    HttpStreamOptions Options(int timeout_ms = 5000) {
        HttpStreamOptions o;
        o.timeout_ms = timeout_ms;
        auto seen = seen_;
        o.on_status_line = [seen](std::string_view line) {
            std::lock_guard lock(seen->mutex);
            seen->lines.emplace_back(line);
        };
        o.on_metadata = [seen](std::string_view block, std::uint64_t) {
            std::lock_guard lock(seen->mutex);
            seen->blocks.emplace_back(block);
            seen->changed.notify_all();
        };
        return o;
    }

    std::unique_ptr<HttpStream> Open(const std::string& path, HttpStreamOptions options) {
        int error = -100;
        auto stream = HttpStream::Open(server_.Url(path), std::move(options), &error);
        EXPECT_EQ(error, 0) << path;
        EXPECT_TRUE(stream) << path;
        return stream;
    }

    int OpenError(const std::string& url, HttpStreamOptions options) {
        int error = -100;
        auto stream = HttpStream::Open(url, std::move(options), &error);
        EXPECT_FALSE(stream) << url;
        return error;
    }

    // The decoder's view: every byte up to the end of the stream.
    static std::string ReadAll(DownloadBuffer& buffer) {
        std::string out;
        char tmp[4096];
        for (;;) {
            const auto r = buffer.Read(tmp, sizeof tmp, 10s);
            if (r.state != DownloadBuffer::ReadState::kData) {
                EXPECT_EQ(r.state, DownloadBuffer::ReadState::kEnd);
                return out;
            }
            out.append(tmp, r.bytes);
        }
    }

    TestServer server_;
    std::shared_ptr<Seen> seen_ = std::make_shared<Seen>();
};

TEST_F(HttpStreamTest, PlainHttpBodyLargerThanTheBufferArrivesWhole) {
    const std::string body = PatternBytes(300 * 1024);
    server_.Handle("/plain", serve::Http("audio/mpeg", body));
    auto stream = Open("/plain", Options());
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->ContentType(), "audio/mpeg");
    EXPECT_EQ(stream->InputFormat(), "mp3");
    EXPECT_EQ(stream->StatusCode(), 200);
    EXPECT_EQ(stream->FinalUrl(), server_.Url("/plain"));
    EXPECT_EQ(stream->Buffer()->Capacity(), DownloadBuffer::kDefaultCapacity);
    EXPECT_TRUE(SameBytes(ReadAll(*stream->Buffer()), body));
    EXPECT_EQ(stream->Buffer()->EndError(), 0);
    EXPECT_TRUE(stream->IcyHeaderLines().empty());
    ASSERT_FALSE(server_.Requests().empty());
    EXPECT_NE(server_.Requests()[0].find("\r\nIcy-MetaData: 1\r\n"), std::string::npos);
}

TEST_F(HttpStreamTest, StatusLinesAndTagsAreKeptExactlyAsSent) {
    struct Case {
        const char* quirk;
        std::string status;
        std::vector<std::string> headers;
    };
    const std::vector<Case> cases = {
        {"ICY reply, icy-name without a space",
         "ICY 200 OK",
         {"icy-notice1:<BR>This stream requires Winamp<BR>", "icy-name:Jazz", "icy-genre:Jazz Smooth",
          "icy-br:128", "content-type:audio/mpeg"}},
        {"HTTP reply, icy-name with a space, mixed-case names",
         "HTTP/1.0 200 OK",
         {"Content-Type: audio/aacp", "icy-name: Jazz", "Icy-Br: 64", "Server: Icecast 2.4.4",
          "icy-description:  two spaces"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.quirk);
        seen_ = std::make_shared<Seen>();
        server_.Handle("/tags", serve::Icy({.status_line = c.status,
                                            .headers = c.headers,
                                            .metaint = 500,
                                            .audio = PatternBytes(2000),
                                            .blocks = {"StreamTitle='A - B';StreamUrl='';"}}));
        auto stream = Open("/tags", Options());
        ASSERT_TRUE(stream);
        std::vector<std::string> expected = {c.status};
        expected.insert(expected.end(), c.headers.begin(), c.headers.end());
        expected.push_back("icy-metaint:500");
        EXPECT_EQ(stream->HeaderLines(), expected);
        EXPECT_EQ(seen_->Lines(), expected);
        std::vector<std::string> icy;
        for (const std::string& line : expected)
            if (line.size() > 4 && (line.compare(0, 4, "icy-") == 0 || line.compare(0, 4, "Icy-") == 0))
                icy.push_back(line);
        EXPECT_EQ(stream->IcyHeaderLines(), icy);
        EXPECT_EQ(stream->StatusCode(), 200);
        EXPECT_EQ(stream->Metaint(), 500u);
        EXPECT_TRUE(SameBytes(ReadAll(*stream->Buffer()), PatternBytes(2000)));
        EXPECT_EQ(stream->LatestMetadata(), "StreamTitle='A - B';StreamUrl='';");
    }
}

TEST_F(HttpStreamTest, BareLineFeedRepliesAreAccepted) {
    server_.Handle("/lf", serve::EarlyClose("ICY 200 OK\nicy-name:LF only\ncontent-type:audio/mpeg\n\nmp3"));
    auto stream = Open("/lf", Options());
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->HeaderLines(),
              (std::vector<std::string>{"ICY 200 OK", "icy-name:LF only", "content-type:audio/mpeg"}));
    EXPECT_EQ(ReadAll(*stream->Buffer()), "mp3");
}

TEST_F(HttpStreamTest, TitlesArriveInOrderAsTheyChange) {
    const std::string audio = PatternBytes(40000, 3);
    const std::vector<std::string> blocks = {"StreamTitle='One';",
                                             "",
                                             "StreamTitle='One';",
                                             "StreamTitle='Two';",
                                             "",
                                             "StreamTitle='Thrée; x';StreamUrl='http://x/';",
                                             ""};
    server_.Handle("/live",
                   serve::Icy({.metaint = 4096, .audio = audio, .blocks = blocks, .send_size = 333}));
    auto stream = Open("/live", Options());
    ASSERT_TRUE(stream);
    EXPECT_TRUE(SameBytes(ReadAll(*stream->Buffer()), audio));
    EXPECT_EQ(seen_->Blocks(), (std::vector<std::string>{"StreamTitle='One';", "StreamTitle='Two';",
                                                         "StreamTitle='Thrée; x';StreamUrl='http://x/';"}));
    EXPECT_EQ(stream->LatestMetadata(), "StreamTitle='Thrée; x';StreamUrl='http://x/';");
}

TEST_F(HttpStreamTest, GeneratedMp3PassesThroughAnIcyStreamByteExact) {
    const std::string mp3 = ToneMp3(2.0);
    ASSERT_FALSE(mp3.empty()) << "lame is missing (scripts/install-deps.sh)";
    server_.Handle("/tone", serve::Icy({.headers = {"content-type:audio/mpeg", "icy-br:128"},
                                        .metaint = 16000,
                                        .audio = mp3,
                                        .blocks = {"StreamTitle='Tone - 440 Hz';"},
                                        .send_size = 1460}));
    auto stream = Open("/tone", Options());
    ASSERT_TRUE(stream);
    EXPECT_TRUE(SameBytes(ReadAll(*stream->Buffer()), mp3));
    EXPECT_EQ(seen_->Blocks(), std::vector<std::string>{"StreamTitle='Tone - 440 Hz';"});
}

TEST_F(HttpStreamTest, ChunkedBodyIsDecoded) {
    const std::string body = PatternBytes(70000, 4);
    server_.Handle("/chunked", serve::Chunked("application/ogg", body, 1000));
    auto stream = Open("/chunked", Options());
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->InputFormat(), "ogg");
    EXPECT_TRUE(SameBytes(ReadAll(*stream->Buffer()), body));
    EXPECT_EQ(stream->Buffer()->EndError(), 0);

    // A trailer after the last chunk is no new reply: the headers stay.
    server_.Handle("/trailer", serve::EarlyClose("HTTP/1.1 200 OK\r\nContent-Type: audio/mpeg\r\n"
                                                 "Transfer-Encoding: chunked\r\n\r\n"
                                                 "3\r\nabc\r\n0\r\nX-Trailer: t\r\n\r\n"));
    auto trailer = Open("/trailer", Options());
    ASSERT_TRUE(trailer);
    EXPECT_EQ(ReadAll(*trailer->Buffer()), "abc");
    EXPECT_EQ(trailer->HeaderLines(), (std::vector<std::string>{"HTTP/1.1 200 OK", "Content-Type: audio/mpeg",
                                                                "Transfer-Encoding: chunked"}));
}

TEST_F(HttpStreamTest, RedirectChainEndsAtTheFinalUrl) {
    server_.Handle("/r1", serve::Redirect(302, server_.Url("/r2")));
    server_.Handle("/r2", serve::Redirect(301, "/final?x=1")); // relative Location
    server_.Handle("/final", serve::Http("audio/aac", "aac bytes"));
    auto stream = Open("/r1", Options());
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->FinalUrl(), server_.Url("/final?x=1"));
    EXPECT_EQ(stream->HeaderLines().at(0), "HTTP/1.0 200 OK");
    EXPECT_EQ(stream->InputFormat(), "aac");
    EXPECT_EQ(ReadAll(*stream->Buffer()), "aac bytes");
    const auto lines = seen_->Lines();
    EXPECT_EQ(lines.at(0), "HTTP/1.1 302 Found"); // the redirects' lines reach the callback too
    EXPECT_NE(std::find(lines.begin(), lines.end(), "HTTP/1.1 301 Moved Permanently"), lines.end());
}

TEST_F(HttpStreamTest, FailuresReportTheirCodeWithinTheTimeout) {
    // A port where nobody listens.
    const std::string closed_port =
        "http://127.0.0.1:" + std::to_string(lumaro::test_support::FreeLoopbackPort()) + "/";

    server_.Handle("/404", serve::NotFound());
    server_.Handle("/500", serve::Reply("HTTP/1.1 500 Internal Server Error", {"Content-Length: 0"}, ""));
    server_.Handle("/garbage", serve::EarlyClose(PatternBytes(3000, 9)));
    server_.Handle("/close-at-once", serve::EarlyClose(""));
    server_.Handle("/close-in-headers", serve::EarlyClose("HTTP/1.1 200 OK\r\nContent-Ty"));
    server_.Handle("/stall-in-headers", serve::Stall("HTTP/1.1 200 OK\r\nContent-Type: audio/mpeg\r\n"));
    server_.Handle("/never", serve::NeverAnswer());
    server_.Handle("/endless", serve::EndlessHeaders());
    server_.Handle("/too-slow", serve::Delayed(5s, serve::Http("audio/mpeg", "x")));
    server_.Handle("/html",
                   serve::Http("text/html; charset=utf-8", "<html><body>Radio offline</body></html>"));
    server_.Handle("/json", serve::Http("application/json", "{\"error\": 1}"));
    server_.Handle("/prose", serve::Http("text/plain", "Service temporarily unavailable"));
    server_.Handle("/no-body", serve::Http("application/octet-stream", ""));
    server_.Handle("/list.pls", serve::Http("audio/x-scpls", "[playlist]\nFile1=http://127.0.0.1:1/\n"));
    server_.Handle("/loop1", serve::Redirect(302, "/loop2"));
    server_.Handle("/loop2", serve::Redirect(302, "/loop1"));
    server_.Handle("/no-location", serve::Reply("HTTP/1.1 302 Found", {"Content-Length: 0"}, ""));
    server_.Handle("/icy-401", serve::Reply("ICY 401 Service Unavailable", {}, ""));

    struct Case {
        const char* what;
        std::string url;
        int error;
    };
    const std::vector<Case> cases = {
        {"connection refused", closed_port, engine_error::kNoConnection},
        {"404", server_.Url("/404"), engine_error::kCannotOpen},
        {"500", server_.Url("/500"), engine_error::kCannotOpen},
        {"garbage instead of a reply", server_.Url("/garbage"), engine_error::kCannotOpen},
        {"closed before replying", server_.Url("/close-at-once"), engine_error::kCannotOpen},
        {"closed inside the headers", server_.Url("/close-in-headers"), engine_error::kCannotOpen},
        {"headers never finish", server_.Url("/stall-in-headers"), engine_error::kTimeout},
        {"accepts and never answers", server_.Url("/never"), engine_error::kTimeout},
        {"endless headers", server_.Url("/endless"), engine_error::kCannotOpen},
        {"slower than the time-out", server_.Url("/too-slow"), engine_error::kTimeout},
        {"an HTML page", server_.Url("/html"), engine_error::kUnsupportedFormat},
        {"JSON", server_.Url("/json"), engine_error::kUnsupportedFormat},
        {"text that is no playlist", server_.Url("/prose"), engine_error::kUnsupportedFormat},
        {"an empty body of unknown type", server_.Url("/no-body"), engine_error::kUnsupportedFormat},
        {"a playlist with playlists off", server_.Url("/list.pls"), engine_error::kUnsupportedFormat},
        {"redirect loop", server_.Url("/loop1"), engine_error::kCannotOpen},
        {"redirect without Location", server_.Url("/no-location"), engine_error::kCannotOpen},
        {"ICY error status", server_.Url("/icy-401"), engine_error::kCannotOpen},
        {"empty URL", "", engine_error::kCannotOpen},
        {"not http", "ftp://127.0.0.1/x.mp3", engine_error::kCannotOpen},
        {"malformed", "http://[::1/", engine_error::kCannotOpen},
        {"https to a server without TLS", "https://127.0.0.1:" + std::to_string(server_.Port()) + "/404",
         engine_error::kCannotOpen},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Only the time-out cases need a short time-out; the others get room
        // to reach their own error on a loaded machine (a TLS start-up under
        // the sanitizers can take most of a second).
        const int timeout_ms = c.error == engine_error::kTimeout ? 700 : 5000;
        EXPECT_EQ(OpenError(c.url, Options(timeout_ms)), c.error);
    }
}

// A server whose certificate nobody vouches for (openssl's own TLS server, on
// loopback, self-signed): an error of its own, since waiting will not mend it.
TEST_F(HttpStreamTest, AnUntrustedCertificateIsToldApart) {
    char dir[] = "/tmp/lumaro-tls-XXXXXX";
    ASSERT_TRUE(::mkdtemp(dir));
    const std::string d = dir, key = d + "/key.pem", cert = d + "/cert.pem";
    ASSERT_EQ(
        lumaro::test_support::Capture("openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=127.0.0.1 -days 1 "
                                      "-keyout " +
                                      key + " -out " + cert + " 2>/dev/null && echo made"),
        "made\n")
        << "openssl is needed (scripts/install-deps.sh)";
    const int port = lumaro::test_support::FreeLoopbackPort();
    const std::string accept = "127.0.0.1:" + std::to_string(port);
    const char* argv[] = {"openssl", "s_server",   "-quiet", "-www",      "-accept", accept.c_str(),
                          "-cert",   cert.c_str(), "-key",   key.c_str(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawnp(&pid, "openssl", nullptr, nullptr, const_cast<char**>(argv), environ), 0);
    // Listening once a connection is taken (each refused try answers at once).
    bool up = false;
    for (int i = 0; i < 1000 && !up; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = htons(static_cast<std::uint16_t>(port));
        up = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
        ::close(fd);
        if (!up) std::this_thread::sleep_for(10ms);
    }
    EXPECT_TRUE(up) << "openssl s_server did not start";
    if (up) {
        EXPECT_EQ(OpenError("https://" + accept + "/live", Options()), engine_error::kCertificate);
    }
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    lumaro::test_support::Capture("rm -rf " + d);
}

TEST_F(HttpStreamTest, SlowStartWithinTheTimeoutOpens) {
    server_.Handle("/slow", serve::Delayed(300ms, serve::Http("audio/mpeg", "late but fine")));
    auto stream = Open("/slow", Options(5000));
    ASSERT_TRUE(stream);
    EXPECT_EQ(ReadAll(*stream->Buffer()), "late but fine");
}

TEST_F(HttpStreamTest, StalledStreamStaysOpenUntilStopped) {
    server_.Handle("/stall", serve::Stall("HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n12345"));
    auto stream = Open("/stall", Options());
    ASSERT_TRUE(stream);
    auto buffer = stream->Buffer();
    char tmp[64];
    auto r = buffer->Read(tmp, sizeof tmp, 10s);
    EXPECT_EQ(std::string(tmp, r.bytes), "12345");
    EXPECT_EQ(buffer->Read(tmp, sizeof tmp, 100ms).state, DownloadBuffer::ReadState::kTimeout);
    EXPECT_FALSE(stream->Ended());
    // The decoder blocked in Read wakes as soon as the stream is freed.
    auto reader = std::async(std::launch::async, [buffer] {
        char t[64];
        return buffer->Read(t, sizeof t, 60s).state;
    });
    stream.reset();
    EXPECT_EQ(reader.get(), DownloadBuffer::ReadState::kStopped);
}

TEST_F(HttpStreamTest, StallWatchdogEndsTheDownloadWithTimeout) {
    server_.Handle("/stall", serve::Stall("HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\nabc"));
    HttpStreamOptions options = Options();
    options.stall_timeout_ms = 300;
    auto stream = Open("/stall", options);
    ASSERT_TRUE(stream);
    EXPECT_EQ(ReadAll(*stream->Buffer()), "abc");
    EXPECT_EQ(stream->Buffer()->EndError(), engine_error::kTimeout);
    EXPECT_EQ(stream->EndError(), engine_error::kTimeout);
}

TEST_F(HttpStreamTest, BodyCutShortEndsWithAnErrorAfterItsBytes) {
    server_.Handle("/cut", serve::EarlyClose("HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n"
                                             "Content-Length: 10000\r\n\r\n" +
                                             PatternBytes(100)));
    server_.Handle("/closed", serve::EarlyClose("HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n" +
                                                PatternBytes(100)));
    auto cut = Open("/cut", Options());
    ASSERT_TRUE(cut);
    EXPECT_TRUE(SameBytes(ReadAll(*cut->Buffer()), PatternBytes(100)));
    EXPECT_EQ(cut->Buffer()->EndError(), engine_error::kCannotOpen);
    // Without a length, the server closing is the stream's clean end.
    auto closed = Open("/closed", Options());
    ASSERT_TRUE(closed);
    EXPECT_TRUE(SameBytes(ReadAll(*closed->Buffer()), PatternBytes(100)));
    EXPECT_EQ(closed->Buffer()->EndError(), 0);
}

TEST_F(HttpStreamTest, BufferingGrowsToCapacityAndLosesNothing) {
    const std::string body = PatternBytes(150 * 1024, 5);
    server_.Handle("/paced", serve::Paced("ICY 200 OK\r\ncontent-type:audio/mpeg\r\n\r\n", body, 2048, 5ms));
    HttpStreamOptions options = Options();
    options.buffer_capacity = 32 * 1024;
    auto stream = Open("/paced", options);
    ASSERT_TRUE(stream);
    auto buffer = stream->Buffer();
    // Nobody reads: the level climbs to the capacity and stays there.
    std::vector<std::size_t> levels;
    for (std::size_t target : {std::size_t{4096}, std::size_t{16384}, buffer->Capacity()}) {
        ASSERT_TRUE(buffer->WaitForBuffered(target, 20s));
        levels.push_back(buffer->Buffered());
    }
    EXPECT_TRUE(std::is_sorted(levels.begin(), levels.end()));
    EXPECT_EQ(buffer->Buffered(), buffer->Capacity());
    EXPECT_EQ(buffer->TotalWritten(), buffer->Capacity()); // the writer waits, nothing dropped
    // Then the reader gets every byte in order.
    std::string out;
    char tmp[3000];
    while (out.size() < body.size()) {
        const auto r = buffer->Read(tmp, sizeof tmp, 20s);
        ASSERT_EQ(r.state, DownloadBuffer::ReadState::kData);
        out.append(tmp, r.bytes);
    }
    EXPECT_TRUE(SameBytes(out, body));
}

TEST_F(HttpStreamTest, PlaylistsLeadToTheirFirstWorkingEntry) {
    server_.Handle("/stream", serve::Icy({.headers = {"content-type:audio/mpeg", "icy-name:Found"},
                                          .audio = "mp3 data",
                                          .blocks = {}}));
    const std::string dead = server_.Url("/dead");
    const std::string live = server_.Url("/stream");
    server_.Handle("/a.pls",
                   serve::Http("audio/x-scpls", "[playlist]\nFile1=" + dead + "\nFile2=" + live + "\n"));
    server_.Handle("/a.m3u", serve::Http("audio/x-mpegurl", "#EXTM3U\n#EXTINF:-1,x\n/dead\nstream\n"));
    server_.Handle("/a.asx", serve::Http("video/x-ms-asf", "<asx version=\"3.0\"><entry><ref href=\"" + dead +
                                                               "\"/><ref href=\"/stream\"/></entry></asx>"));
    server_.Handle("/a.xspf",
                   serve::Http("application/xspf+xml", "<playlist><trackList><track><location>" + live +
                                                           "</location></track></trackList></playlist>"));
    server_.Handle("/nested.pls", serve::Http("audio/x-scpls", "[playlist]\nFile1=/a.m3u\n"));
    server_.Handle("/chunked.m3u", serve::Chunked("text/plain", live + "\n", 7));
    server_.Handle("/moved.pls", serve::Redirect(302, "/a.pls"));
    for (const char* path :
         {"/a.pls", "/a.m3u", "/a.asx", "/a.xspf", "/nested.pls", "/chunked.m3u", "/moved.pls"}) {
        SCOPED_TRACE(path);
        HttpStreamOptions options = Options();
        options.resolve_playlists = true;
        auto stream = Open(path, options);
        ASSERT_TRUE(stream);
        EXPECT_EQ(stream->FinalUrl(), live);
        EXPECT_EQ(stream->IcyHeaderLines(), std::vector<std::string>{"icy-name:Found"});
        EXPECT_EQ(ReadAll(*stream->Buffer()), "mp3 data");
    }
}

TEST_F(HttpStreamTest, PlaylistWithoutAWorkingEntryFails) {
    server_.Handle("/dead.pls", serve::Http("audio/x-scpls", "[playlist]\nFile1=/x\nFile2=/y\n"));
    server_.Handle("/empty.pls", serve::Http("audio/x-scpls", "[playlist]\nNumberOfEntries=0\n"));
    server_.Handle("/self.pls", serve::Http("audio/x-scpls", "[playlist]\nFile1=/self.pls\n"));
    HttpStreamOptions options = Options();
    options.resolve_playlists = true;
    EXPECT_EQ(OpenError(server_.Url("/dead.pls"), options),
              engine_error::kCannotOpen); // the last entry's error
    EXPECT_EQ(OpenError(server_.Url("/empty.pls"), options), engine_error::kUnsupportedFormat);
    EXPECT_EQ(OpenError(server_.Url("/self.pls"), options), engine_error::kUnsupportedFormat); // depth limit
}

TEST_F(HttpStreamTest, HlsIsHandedBackForFfmpeg) {
    const std::string hls = "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:6\n#EXTINF:6,\nseg1.aac\n";
    server_.Handle("/live.m3u8", serve::Http("application/vnd.apple.mpegurl", hls));
    server_.Handle("/hls", serve::Http("audio/mpegurl", hls));
    server_.Handle("/list.m3u", serve::Http("audio/x-mpegurl", server_.Url("/hls") + "\n"));
    for (const char* path : {"/live.m3u8", "/hls", "/list.m3u"}) {
        SCOPED_TRACE(path);
        HttpStreamOptions options = Options();
        options.resolve_playlists = true;
        auto stream = Open(path, options);
        ASSERT_TRUE(stream);
        EXPECT_TRUE(stream->IsHls());
        EXPECT_EQ(stream->FinalUrl(), server_.Url(std::string(path) == "/list.m3u" ? "/hls" : path));
    }
}

TEST_F(HttpStreamTest, FreeingNeverWaitsForABlockedCallback) {
    // The app's callbacks wait for its window thread; freeing from that
    // thread must return while one of them is blocked.
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    auto entered = std::make_shared<std::promise<void>>();
    server_.Handle("/meta", serve::Icy({.metaint = 100,
                                        .audio = PatternBytes(1000),
                                        .blocks = {"StreamTitle='x';", "StreamTitle='y';"},
                                        .hold_open = true}));
    HttpStreamOptions options = Options();
    options.on_metadata = [released, entered](std::string_view, std::uint64_t) {
        if (entered) entered->set_value();
        released.wait();
    };
    // Only the first call signals; later calls just wait.
    auto stream = Open("/meta", options);
    ASSERT_TRUE(stream);
    entered->get_future().wait();
    stream.reset(); // returns although the download thread is inside the callback
    release.set_value();
}

TEST_F(HttpStreamTest, OpenNeverWaitsPastTheTimeoutForABlockedStatusCallback) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    server_.Handle("/ok", serve::Http("audio/mpeg", "x"));
    HttpStreamOptions options = Options(300);
    options.on_status_line = [released](std::string_view) { released.wait(); };
    EXPECT_EQ(OpenError(server_.Url("/ok"), options), engine_error::kTimeout);
    release.set_value();
}

TEST_F(HttpStreamTest, CancelAbandonsAnOpenInProgress) {
    server_.Handle("/never", serve::NeverAnswer());
    HttpStreamOptions options = Options(60000);
    options.cancel = std::make_shared<std::atomic<bool>>(false);
    auto cancel = options.cancel;
    auto opener = std::async(std::launch::async, [&] { return OpenError(server_.Url("/never"), options); });
    // Cancel once the server has the request, i.e. Open() is surely waiting.
    while (server_.Requests().empty())
        std::this_thread::yield();
    *cancel = true;
    EXPECT_EQ(opener.get(), engine_error::kCannotOpen);
}

} // namespace
