#include "loopback_http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

namespace lumaro::testing {

namespace {

int Listen(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof addr;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 16) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    port = ntohs(addr.sin_port);
    return fd;
}

void SendAll(int fd, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return; // the client has gone
        sent += static_cast<size_t>(n);
    }
}

const char* ReasonOf(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

} // namespace

LoopbackHttpServer::LoopbackHttpServer(Handler handler) : handler_(std::move(handler)) {
    listener_ = Listen(port_);
    if (::pipe2(wake_, O_CLOEXEC) != 0) throw std::runtime_error("cannot make a pipe");
    thread_ = std::thread([this] { Serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    const char stop = 's';
    (void)!::write(wake_[1], &stop, 1);
    thread_.join();
    ::close(listener_);
    ::close(wake_[0]);
    ::close(wake_[1]);
}

std::vector<LoopbackHttpServer::Request> LoopbackHttpServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

int LoopbackHttpServer::ClosedPort() {
    int port = 0;
    ::close(Listen(port));
    return port;
}

bool LoopbackHttpServer::WaitReadable(int fd) const {
    pollfd fds[2] = {{fd, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    while (::poll(fds, 2, -1) < 0) {
    }
    return (fds[1].revents & POLLIN) == 0;
}

void LoopbackHttpServer::Serve() {
    while (WaitReadable(listener_)) {
        const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        Answer(client);
        ::close(client);
    }
}

void LoopbackHttpServer::Answer(int client) {
    std::string head;
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
        if (!WaitReadable(client)) return;
        char buffer[4096];
        const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) return;
        head.append(buffer, static_cast<size_t>(n));
    }
    Request request;
    const size_t lineEnd = head.find("\r\n");
    const std::string line = head.substr(0, lineEnd);
    const size_t space1 = line.find(' '), space2 = line.rfind(' ');
    request.method = line.substr(0, space1);
    const std::string target = line.substr(space1 + 1, space2 - space1 - 1);
    request.path = target.substr(0, target.find('?'));
    if (target.find('?') != std::string::npos) request.query = target.substr(target.find('?') + 1);
    for (size_t at = lineEnd + 2; at < head.size();) {
        const size_t end = head.find("\r\n", at);
        const std::string header = head.substr(at, end - at);
        if (header.size() > 11 && ::strncasecmp(header.c_str(), "User-Agent:", 11) == 0)
            request.userAgent = header.substr(header.find_first_not_of(' ', 11));
        if (end == std::string::npos) break;
        at = end + 2;
    }
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
    }

    const Reply reply = handler_(request);
    if (reply.mode == Mode::StallBeforeReply) {
        // until the client gives up (its end of the connection closes) or the server stops
        while (WaitReadable(client)) {
            char buffer[256];
            if (::recv(client, buffer, sizeof buffer, 0) <= 0) return;
        }
        return;
    }
    const std::string headers =
        "HTTP/1.1 " + std::to_string(reply.status) + " " + ReasonOf(reply.status) +
        "\r\nContent-Type: application/json\r\nContent-Length: " + std::to_string(reply.body.size()) +
        "\r\nConnection: close\r\n\r\n";
    if (reply.mode == Mode::Whole) {
        SendAll(client, headers + reply.body);
        return;
    }
    SendAll(client, headers + reply.body.substr(0, reply.body.size() / 2));
    if (reply.mode == Mode::StallInReply) {
        while (WaitReadable(client)) {
            char buffer[256];
            if (::recv(client, buffer, sizeof buffer, 0) <= 0) return;
        }
    }
}

} // namespace lumaro::testing
