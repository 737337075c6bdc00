#include "engine/encoder/encoder_process.h"

#include "engine/core/live_threads.h"
#include "engine/encoder/command_line.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace lumaro::engine {

struct EncoderProcess::Shared {
    // Never change after start():
    std::vector<uint8_t> ring; // power-of-two bytes of 16-bit little-endian PCM
    size_t mask = 0;
    size_t frameBytes = 0;
    std::array<uint8_t, 44> header{};
    int fd = -1; // write end of the child's stdin; owned by the writer thread once it runs
    pid_t pid = -1;

    std::atomic<size_t> head{0};      // bytes ever queued; only push() stores
    std::atomic<size_t> tail{0};      // bytes ever written out; only the writer stores
    int wakeFd = -1;                  // eventfd: push() and stop() wake the idle writer through it
    std::atomic<bool> closing{false}; // stop() was called
    std::atomic<bool> alive{false};   // the child still takes input
    std::atomic<uint64_t> dropped{0}; // frames

    std::mutex exitMutex;
    std::condition_variable exited; // notified once `reaped` is set
    bool reaped = false;            // exitMutex
    int status = 0;                 // exitMutex

    // Any thread, never blocks (the eventfd is non-blocking; a full counter
    // means a wake-up is pending anyway).
    void poke() noexcept {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeFd, &one, sizeof one);
    }

    ~Shared() {
        if (wakeFd >= 0) ::close(wakeFd);
    }
};

namespace {

void Put16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

// A WAV header for 16-bit PCM of unknown length: both sizes 0. lame reads
// such a stream up to the end of its input either way, but it copies the
// size into the MP3's length tag: 0xFFFFFFFF would claim 49 days, 0 reads as
// "unknown" to tag readers and players.
std::array<uint8_t, 44> WavHeader(int sampleRate, int channels) {
    std::array<uint8_t, 44> h{};
    uint8_t* p = h.data();
    std::memcpy(p, "RIFF", 4);
    Put32(p + 4, 0);
    std::memcpy(p + 8, "WAVEfmt ", 8);
    Put32(p + 16, 16);
    Put16(p + 20, 1); // PCM
    Put16(p + 22, static_cast<uint32_t>(channels));
    Put32(p + 24, static_cast<uint32_t>(sampleRate));
    Put32(p + 28, static_cast<uint32_t>(sampleRate * channels * 2));
    Put16(p + 32, static_cast<uint32_t>(channels * 2));
    Put16(p + 34, 16);
    std::memcpy(p + 36, "data", 4);
    Put32(p + 40, 0);
    return h;
}

// Writes everything or fails (the child went away).
bool WriteAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

std::vector<std::string> ChildEnvironment() {
    std::vector<std::string> env;
    for (char** e = environ; e && *e; ++e)
        if (std::strncmp(*e, "LC_ALL=", 7) != 0) env.emplace_back(*e);
    env.emplace_back("LC_ALL=C.UTF-8");
    return env;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> p;
    for (auto& s : strings)
        p.push_back(s.data());
    p.push_back(nullptr);
    return p;
}

} // namespace

// The writer thread: drains the ring into the pipe until stop() and the ring
// is empty (or the child stops reading), then closes the pipe and reaps the
// child. Holds its own reference to the shared state.
void EncoderProcess::writerLoop(std::shared_ptr<Shared> sp) {
    auto& s = *sp;
    // A write to a pipe whose reader is gone raises SIGPIPE on this thread;
    // blocked, it turns into EPIPE instead of ending the program.
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);

    bool ok = WriteAll(s.fd, s.header.data(), s.header.size());
    while (ok) {
        const size_t tail = s.tail.load(std::memory_order_relaxed);
        const size_t head = s.head.load(std::memory_order_acquire);
        if (head == tail) {
            if (s.closing.load(std::memory_order_acquire)) break;
            // Idle: wait for samples, stop(), or the child closing its input
            // (the pipe's write end then reports an error).
            pollfd fds[2] = {{s.fd, 0, 0}, {s.wakeFd, POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0) continue;
            if (fds[0].revents & (POLLERR | POLLHUP)) break;
            if (fds[1].revents & POLLIN) {
                uint64_t count;
                [[maybe_unused]] const ssize_t n = ::read(s.wakeFd, &count, sizeof count);
            }
            continue;
        }
        const size_t at = tail & s.mask;
        const size_t chunk = std::min(head - tail, s.ring.size() - at);
        ok = WriteAll(s.fd, s.ring.data() + at, chunk);
        s.tail.store(tail + chunk, std::memory_order_release);
    }
    s.alive.store(false, std::memory_order_release);
    ::close(s.fd);
    // A pending SIGPIPE of this thread dies with it.

    int status = 0;
    pid_t r;
    do {
        r = ::waitpid(s.pid, &status, 0);
    } while (r < 0 && errno == EINTR);
    {
        std::lock_guard lock(s.exitMutex);
        s.reaped = true;
        s.status = r == s.pid ? status : -1;
    }
    s.exited.notify_all();
    LiveThreads::Ended(); // the last action: the engine's shutdown waits for it
}

EncoderProcess::EncoderProcess() = default;

EncoderProcess::~EncoderProcess() {
    stop();
}

int EncoderProcess::start(const std::string& commandLine, int sampleRate, int channels) {
    if (shared_) return engine_error::kAlready;
    if (sampleRate <= 0 || sampleRate > 1'000'000 || channels < 1 || channels > 8)
        return engine_error::kIllegalParam;
    std::vector<std::string> args = SplitCommandLine(commandLine);
    if (args.empty() || args[0].empty()) return engine_error::kIllegalParam;
    std::vector<std::string> env = ChildEnvironment();
    std::vector<char*> argv = Pointers(args), envp = Pointers(env);

    auto s = std::make_shared<Shared>();
    s->wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    int fds[2];
    if (s->wakeFd < 0 || ::pipe2(fds, O_CLOEXEC) != 0) return engine_error::kCannotCreate;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    // Other threads may open descriptors without O_CLOEXEC at any time; a pipe
    // of another recording kept open here would keep that one from ending.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#endif
    // The child starts with no blocked signals and default actions, whatever
    // the calling thread has.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int sig : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGCHLD})
        sigaddset(&defaults, sig);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = -1;
    const int rc = ::posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    ::close(fds[0]);
    if (rc != 0) {
        ::close(fds[1]);
        return engine_error::kCannotCreate;
    }

    s->frameBytes = static_cast<size_t>(channels) * 2;
    size_t capacity = 1;
    while (capacity < static_cast<size_t>(kBufferSeconds * sampleRate) * s->frameBytes)
        capacity <<= 1;
    s->ring.assign(capacity, 0);
    s->mask = capacity - 1;
    s->header = WavHeader(sampleRate, channels);
    s->fd = fds[1];
    s->pid = pid;
    s->alive.store(true);
    channels_ = channels;
    shared_ = s;
    // Counted with the engine's threads, so freeing the engine waits until
    // the program has the whole recording and has ended.
    LiveThreads::Started();
    std::thread(writerLoop, std::move(s)).detach();
    return engine_error::kOk;
}

void EncoderProcess::push(const float* interleaved, int frames) noexcept {
    Shared* s = shared_.get();
    if (!s || frames <= 0 || s->closing.load(std::memory_order_relaxed) ||
        !s->alive.load(std::memory_order_relaxed))
        return;
    const size_t head = s->head.load(std::memory_order_relaxed);
    const size_t tail = s->tail.load(std::memory_order_acquire);
    const size_t room = (s->ring.size() - (head - tail)) / s->frameBytes;
    const size_t fit = std::min(room, static_cast<size_t>(frames));
    const size_t samples = fit * static_cast<size_t>(channels_);
    size_t at = head;
    for (size_t i = 0; i < samples; ++i) {
        const float x = std::clamp(interleaved[i], -1.0f, 1.0f); // NaN stays NaN: lrintf gives 0 or min
        const auto v =
            static_cast<uint16_t>(static_cast<int16_t>(std::isnan(x) ? 0 : std::lrintf(x * 32767.0f)));
        s->ring[at++ & s->mask] = static_cast<uint8_t>(v);
        s->ring[at++ & s->mask] = static_cast<uint8_t>(v >> 8);
    }
    s->head.store(at, std::memory_order_release);
    if (fit < static_cast<size_t>(frames))
        s->dropped.fetch_add(static_cast<uint64_t>(frames) - fit, std::memory_order_relaxed);
    if (fit > 0) s->poke();
}

void EncoderProcess::stop() {
    if (!shared_ || shared_->closing.exchange(true)) return;
    shared_->poke();
}

bool EncoderProcess::active() const noexcept {
    return shared_ && !shared_->closing.load() && shared_->alive.load();
}

uint64_t EncoderProcess::droppedFrames() const noexcept {
    return shared_ ? shared_->dropped.load(std::memory_order_relaxed) : 0;
}

pid_t EncoderProcess::pid() const noexcept {
    return shared_ ? shared_->pid : -1;
}

bool EncoderProcess::waitForExit(std::chrono::milliseconds timeout) const {
    if (!shared_) return false;
    std::unique_lock lock(shared_->exitMutex);
    return shared_->exited.wait_for(lock, timeout, [&] { return shared_->reaped; });
}

int EncoderProcess::exitStatus() const {
    if (!shared_) return -1;
    std::lock_guard lock(shared_->exitMutex);
    return shared_->status;
}

} // namespace lumaro::engine
