#pragma once
// A small HTTP server on 127.0.0.1 for the update tests: one connection at a
// time, each request answered by a handler with a whole reply, an error, or
// a reply that stalls or is cut short.

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lumaro::testing {

class LoopbackHttpServer {
public:
    struct Request {
        std::string method, path, query, userAgent;
    };
    enum class Mode {
        Whole,
        StallBeforeReply, // reads the request, then sends nothing
        StallInReply,     // sends the headers and half the body, then nothing
        CutShort,         // sends the headers and half the body, then closes
    };
    struct Reply {
        int status = 200;
        std::string body;
        Mode mode = Mode::Whole;
    };
    using Handler = std::function<Reply(const Request&)>;

    explicit LoopbackHttpServer(Handler handler);
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    int Port() const { return port_; }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_); }
    std::vector<Request> Requests() const;

    // A port on 127.0.0.1 where nothing listens (connections are refused).
    static int ClosedPort();

private:
    void Serve();
    void Answer(int client);
    // Waits until fd can be read or the server stops; false when it stops.
    bool WaitReadable(int fd) const;

    Handler handler_;
    int listener_ = -1;
    int wake_[2] = {-1, -1}; // written to stop the server thread
    int port_ = 0;
    mutable std::mutex mutex_;
    std::vector<Request> requests_; // guarded by mutex_
    std::thread thread_;
};

} // namespace lumaro::testing
