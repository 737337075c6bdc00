#pragma once
// A small HTTP/ICY server on 127.0.0.1 for the engine's stream tests: an
// ephemeral port, one thread per connection, a handler chosen by the request's
// path. Canned handlers (serve::...) cover the replies a radio player meets,
// hostile ones included. No test framework inside, so any test links it.
//
//   lumaro::testing::TestServer server;
//   server.Handle("/live", serve::Icy({.metaint = 1000, .audio = bytes, .blocks = {"StreamTitle='A';"}}));
//   HttpStream::Open(server.Url("/live"), ...);

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace lumaro::testing {

// One accepted connection, as seen by a handler (on the connection's thread).
class TestConnection {
public:
    // The request's target ("/path?query") and its head as received.
    const std::string& Target() const { return target_; }
    const std::string& RequestHead() const { return head_; }
    // A request header's value (name in any case), empty when absent.
    std::string RequestHeader(std::string_view name) const;

    // Sends all bytes; false once the client has gone or the server stops.
    bool Send(std::string_view bytes);
    // Sends one chunk of a chunked body ("size CRLF data CRLF"); empty = last chunk.
    bool SendChunk(std::string_view data);
    // Waits up to `time`; false when the server stops meanwhile.
    bool Sleep(std::chrono::milliseconds time);
    // Holds the connection until the client closes it or the server stops.
    void WaitUntilClosed();
    bool Stopping() const;

private:
    friend class TestServer;
    int fd_ = -1;
    std::string target_, head_;
    const std::atomic<bool>* stopping_ = nullptr;
    std::mutex* mutex_ = nullptr;
    std::condition_variable* wake_ = nullptr;
};

using TestHandler = std::function<void(TestConnection&)>;

class TestServer {
public:
    // port 0: an ephemeral port; else that one, so that a test can stop a
    // server and start it again where its listeners will look.
    explicit TestServer(std::uint16_t port = 0);
    // Stops: wakes every handler (sends fail, sleeps end), joins every thread.
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    std::uint16_t Port() const { return port_; }
    // "http://127.0.0.1:<port>" + path.
    std::string Url(std::string_view path) const;
    // The handler for requests whose path (without query) is `path`; others get 404.
    void Handle(const std::string& path, TestHandler handler);
    // The heads of the requests received so far, in order.
    std::vector<std::string> Requests() const;

private:
    void AcceptLoop();
    void Serve(int fd);

    int listen_fd_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::condition_variable wake_;                // signalled on stop
    std::map<std::string, TestHandler> handlers_; // mutex_
    std::vector<std::string> requests_;           // mutex_
    std::vector<int> open_fds_;                   // mutex_
    std::vector<std::thread> threads_;            // mutex_
    std::thread accept_thread_;
};

// The body of an ICY stream: `audio` with, after every `metaint` audio bytes,
// a length byte and the metadata text padded with NULs to a multiple of 16.
// blocks[i] is sent at the i-th point; an empty one, or any point past the
// list, sends length 0.
std::string BuildIcyBody(std::size_t metaint, std::string_view audio, const std::vector<std::string>& blocks);

// `size` deterministic pseudo-random bytes (a different run for each seed).
std::string PatternBytes(std::size_t size, unsigned seed = 1);

// An MP3 of a sine tone made by running `lame` on a synthesised WAV;
// empty when lame is missing. Mono 44100 Hz at `kbps`.
std::string ToneMp3(double seconds, double frequency = 440.0, int kbps = 128);

namespace serve {

// A status line, header lines and a body, then close. Lines without CR LF.
TestHandler Reply(std::string status_line, std::vector<std::string> headers, std::string body);
// "HTTP/1.0 200 OK" with Content-Type, Content-Length and the body.
TestHandler Http(std::string content_type, std::string body);
// "HTTP/1.1 404 Not Found".
TestHandler NotFound();
// A 301/302/... with Location.
TestHandler Redirect(int code, std::string location);
// HTTP/1.1 chunked body in chunks of `chunk` bytes.
TestHandler Chunked(std::string content_type, std::string body, std::size_t chunk);

struct IcyScript {
    std::string status_line = "ICY 200 OK";
    std::vector<std::string> headers = {
        "content-type:audio/mpeg"}; // as sent; icy-metaint added when metaint > 0
    std::size_t metaint = 0;
    std::string audio;
    std::vector<std::string> blocks; // see BuildIcyBody
    std::size_t send_size = 0;       // bytes per send() (0: all at once), to vary chunking
    bool hold_open = false;          // after the body, keep the connection open
};
TestHandler Icy(IcyScript script);

// Headers, then `body` in pieces of `piece` bytes every `interval` (a live
// stream at a steady rate); then holds the connection open.
TestHandler Paced(std::string head, std::string body, std::size_t piece, std::chrono::milliseconds interval);
// Runs `inner` after `delay` (a slow server).
TestHandler Delayed(std::chrono::milliseconds delay, TestHandler inner);
// Sends `bytes` as they are, then holds the connection open (stall).
TestHandler Stall(std::string bytes);
// Sends `bytes` as they are, then closes.
TestHandler EarlyClose(std::string bytes);
// Header lines without end until the client gives up.
TestHandler EndlessHeaders();
// Reads the request and never answers.
TestHandler NeverAnswer();

} // namespace serve

} // namespace lumaro::testing
