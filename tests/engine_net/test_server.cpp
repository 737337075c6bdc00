#include "tests/engine_net/test_server.h"

#include <arpa/inet.h>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace lumaro::testing {

namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string ReadHead(int fd, const std::atomic<bool>& stopping) {
    std::string head;
    char buf[1024];
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 16384 && !stopping) {
        pollfd p{fd, POLLIN, 0};
        const int r = ::poll(&p, 1, 50);
        if (r < 0) break;
        if (r == 0) continue;
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0) break;
        head.append(buf, static_cast<std::size_t>(n));
        // Not HTTP (a TLS hello, say): the connection is closed unanswered.
        if (head[0] < 'A' || head[0] > 'Z') return {};
    }
    return head;
}

} // namespace

std::string TestConnection::RequestHeader(std::string_view name) const {
    std::size_t pos = 0;
    while ((pos = head_.find("\r\n", pos)) != std::string::npos) {
        pos += 2;
        const std::size_t colon = head_.find(':', pos);
        const std::size_t end = head_.find("\r\n", pos);
        if (colon == std::string::npos || end == std::string::npos || colon > end) continue;
        std::string key = head_.substr(pos, colon - pos);
        if (key.size() != name.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < key.size(); ++i)
            same = same && Lower(key[i]) == Lower(name[i]);
        if (!same) continue;
        std::string value = head_.substr(colon + 1, end - colon - 1);
        while (!value.empty() && value.front() == ' ')
            value.erase(0, 1);
        return value;
    }
    return {};
}

bool TestConnection::Send(std::string_view bytes) {
    while (!bytes.empty()) {
        if (Stopping()) return false;
        const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool TestConnection::SendChunk(std::string_view data) {
    char size[32];
    std::snprintf(size, sizeof size, "%zx\r\n", data.size());
    return Send(std::string(size) + std::string(data) + "\r\n");
}

bool TestConnection::Sleep(std::chrono::milliseconds time) {
    std::unique_lock lock(*mutex_);
    return !wake_->wait_for(lock, time, [&] { return stopping_->load(); });
}

void TestConnection::WaitUntilClosed() {
    char buf[4096];
    while (!Stopping()) {
        pollfd p{fd_, POLLIN, 0};
        const int r = ::poll(&p, 1, 50);
        if (r < 0) return;
        if (r > 0 && ::recv(fd_, buf, sizeof buf, 0) <= 0) return;
    }
}

bool TestConnection::Stopping() const {
    return stopping_->load();
}

TestServer::TestServer(std::uint16_t port) {
    listen_fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listen_fd_ < 0) throw std::runtime_error("socket");
    const int on = 1; // a restarted server binds again despite the old connections' TIME_WAIT
    ::setsockopt(listen_fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(port);
    socklen_t len = sizeof addr;
    if (::bind(listen_fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listen_fd_, 64) != 0 ||
        ::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        throw std::runtime_error("bind/listen");
    port_ = ntohs(addr.sin_port);
    accept_thread_ = std::thread([this] { AcceptLoop(); });
}

TestServer::~TestServer() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        for (int fd : open_fds_)
            ::shutdown(fd, SHUT_RDWR);
    }
    wake_.notify_all();
    ::shutdown(listen_fd_, SHUT_RDWR);
    accept_thread_.join();
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(mutex_);
        threads.swap(threads_);
    }
    for (std::thread& t : threads)
        t.join();
    ::close(listen_fd_);
}

std::string TestServer::Url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

void TestServer::Handle(const std::string& path, TestHandler handler) {
    std::lock_guard lock(mutex_);
    handlers_[path] = std::move(handler);
}

std::vector<std::string> TestServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void TestServer::AcceptLoop() {
    while (!stopping_) {
        pollfd p{listen_fd_, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        const int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        std::lock_guard lock(mutex_);
        if (stopping_) {
            ::close(fd);
            break;
        }
        open_fds_.push_back(fd);
        threads_.emplace_back([this, fd] { Serve(fd); });
    }
}

void TestServer::Serve(int fd) {
    TestConnection c;
    c.fd_ = fd;
    c.stopping_ = &stopping_;
    c.mutex_ = &mutex_;
    c.wake_ = &wake_;
    c.head_ = ReadHead(fd, stopping_);
    const std::size_t sp1 = c.head_.find(' ');
    const std::size_t sp2 = sp1 == std::string::npos ? sp1 : c.head_.find_first_of(" \r", sp1 + 1);
    if (sp2 != std::string::npos) c.target_ = c.head_.substr(sp1 + 1, sp2 - sp1 - 1);
    const std::string path = c.target_.substr(0, c.target_.find('?'));
    TestHandler handler;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(c.head_);
        auto it = handlers_.find(path);
        if (it != handlers_.end()) handler = it->second;
    }
    if (!handler) handler = serve::NotFound();
    if (!c.head_.empty()) handler(c);
    std::lock_guard lock(mutex_);
    ::shutdown(fd, SHUT_RDWR);
    ::close(fd);
    std::erase(open_fds_, fd);
}

std::string BuildIcyBody(std::size_t metaint, std::string_view audio,
                         const std::vector<std::string>& blocks) {
    if (metaint == 0) return std::string(audio);
    std::string out;
    std::size_t point = 0;
    while (!audio.empty()) {
        const std::size_t n = std::min(metaint, audio.size());
        out.append(audio.substr(0, n));
        audio.remove_prefix(n);
        if (n < metaint) break;
        const std::string text = point < blocks.size() ? blocks[point] : std::string();
        ++point;
        const std::size_t units = (text.size() + 15) / 16;
        out.push_back(static_cast<char>(units));
        out.append(text);
        out.append(units * 16 - text.size(), '\0');
    }
    return out;
}

std::string PatternBytes(std::size_t size, unsigned seed) {
    std::string out(size, '\0');
    std::uint32_t x = 2463534242u ^ (seed * 2654435761u);
    for (char& c : out) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x & 0xFF);
    }
    return out;
}

std::string ToneMp3(double seconds, double frequency, int kbps) {
    char dir[] = "/tmp/lumaro-tone-XXXXXX";
    if (!::mkdtemp(dir)) return {};
    const std::string wav = std::string(dir) + "/tone.wav", mp3 = std::string(dir) + "/tone.mp3";
    const std::uint32_t rate = 44100, frames = static_cast<std::uint32_t>(seconds * rate);
    std::string data;
    data.reserve(frames * 2);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const auto s =
            static_cast<std::int16_t>(std::lround(16000.0 * std::sin(2 * M_PI * frequency * i / rate)));
        data.push_back(static_cast<char>(s & 0xFF));
        data.push_back(static_cast<char>((s >> 8) & 0xFF));
    }
    auto le32 = [](std::uint32_t v) {
        return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                           static_cast<char>(v >> 24)};
    };
    auto le16 = [](std::uint16_t v) { return std::string{static_cast<char>(v), static_cast<char>(v >> 8)}; };
    const std::string header = "RIFF" + le32(36 + static_cast<std::uint32_t>(data.size())) + "WAVEfmt " +
                               le32(16) + le16(1) + le16(1) + le32(rate) + le32(rate * 2) + le16(2) +
                               le16(16) + "data" + le32(static_cast<std::uint32_t>(data.size()));
    std::string result;
    if (FILE* f = std::fopen(wav.c_str(), "wb")) {
        std::fwrite(header.data(), 1, header.size(), f);
        std::fwrite(data.data(), 1, data.size(), f);
        std::fclose(f);
        const std::string bitrate = std::to_string(kbps);
        const char* argv[] = {"lame", "--quiet", "-b", bitrate.c_str(), wav.c_str(), mp3.c_str(), nullptr};
        pid_t pid = 0;
        int status = 0;
        if (::posix_spawnp(&pid, "lame", nullptr, nullptr, const_cast<char**>(argv), environ) == 0 &&
            ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
            if (FILE* in = std::fopen(mp3.c_str(), "rb")) {
                char buf[65536];
                std::size_t n;
                while ((n = std::fread(buf, 1, sizeof buf, in)) > 0)
                    result.append(buf, n);
                std::fclose(in);
            }
        }
    }
    std::remove(wav.c_str());
    std::remove(mp3.c_str());
    ::rmdir(dir);
    return result;
}

namespace serve {

TestHandler Reply(std::string status_line, std::vector<std::string> headers, std::string body) {
    return [=](TestConnection& c) {
        std::string out = status_line + "\r\n";
        for (const std::string& h : headers)
            out += h + "\r\n";
        out += "\r\n";
        c.Send(out + body);
    };
}

TestHandler Http(std::string content_type, std::string body) {
    std::vector<std::string> headers = {"Content-Type: " + content_type,
                                        "Content-Length: " + std::to_string(body.size())};
    return Reply("HTTP/1.0 200 OK", std::move(headers), std::move(body));
}

TestHandler NotFound() {
    return Reply("HTTP/1.1 404 Not Found",
                 {"Content-Type: text/html", "Content-Length: 9", "Connection: close"}, "not found");
}

TestHandler Redirect(int code, std::string location) {
    const std::string reason = code == 301 ? "Moved Permanently" : code == 302 ? "Found" : "Redirect";
    return Reply("HTTP/1.1 " + std::to_string(code) + " " + reason,
                 {"Location: " + location, "Content-Length: 0", "Connection: close"}, "");
}

TestHandler Chunked(std::string content_type, std::string body, std::size_t chunk) {
    return [=](TestConnection& c) {
        if (!c.Send("HTTP/1.1 200 OK\r\nContent-Type: " + content_type +
                    "\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n"))
            return;
        for (std::size_t pos = 0; pos < body.size(); pos += chunk)
            if (!c.SendChunk(std::string_view(body).substr(pos, chunk))) return;
        c.SendChunk({});
    };
}

TestHandler Icy(IcyScript script) {
    return [script](TestConnection& c) {
        std::string head = script.status_line + "\r\n";
        for (const std::string& h : script.headers)
            head += h + "\r\n";
        if (script.metaint > 0) head += "icy-metaint:" + std::to_string(script.metaint) + "\r\n";
        head += "\r\n";
        if (!c.Send(head)) return;
        const std::string body = BuildIcyBody(script.metaint, script.audio, script.blocks);
        const std::size_t step = script.send_size ? script.send_size : body.size();
        for (std::size_t pos = 0; pos < body.size(); pos += step)
            if (!c.Send(std::string_view(body).substr(pos, step))) return;
        if (script.hold_open) c.WaitUntilClosed();
    };
}

TestHandler Paced(std::string head, std::string body, std::size_t piece, std::chrono::milliseconds interval) {
    return [=](TestConnection& c) {
        if (!c.Send(head)) return;
        for (std::size_t pos = 0; pos < body.size(); pos += piece) {
            if (!c.Send(std::string_view(body).substr(pos, piece)) || !c.Sleep(interval)) return;
        }
        c.WaitUntilClosed();
    };
}

TestHandler Delayed(std::chrono::milliseconds delay, TestHandler inner) {
    return [=](TestConnection& c) {
        if (c.Sleep(delay)) inner(c);
    };
}

TestHandler Stall(std::string bytes) {
    return [=](TestConnection& c) {
        if (c.Send(bytes)) c.WaitUntilClosed();
    };
}

TestHandler EarlyClose(std::string bytes) {
    return [=](TestConnection& c) { c.Send(bytes); };
}

TestHandler EndlessHeaders() {
    return [](TestConnection& c) {
        if (!c.Send("HTTP/1.1 200 OK\r\nContent-Type: audio/mpeg\r\n")) return;
        for (unsigned i = 0; c.Send("X-Filler-" + std::to_string(i) + ": " + std::string(40, 'x') + "\r\n");
             ++i) {
        }
    };
}

TestHandler NeverAnswer() {
    return [](TestConnection& c) { c.WaitUntilClosed(); };
}

} // namespace serve

} // namespace lumaro::testing
