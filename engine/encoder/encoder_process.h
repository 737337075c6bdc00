#pragma once
// Feeds a channel's processed sound to an external encoder program such as
// `lame` through its standard input: a WAV header (16-bit PCM; the RIFF and
// data sizes 0, a stream of unknown length) followed by 16-bit little-endian
// PCM.
//
// Threads: start(), stop() and the destructor run on the caller's thread and
// never wait for the child. push() runs on the output thread and never
// waits: it converts into a lock-free single-producer ring; a writer thread of
// the encoder's own drains the ring into the pipe, and after the input is
// closed it reaps the child. When the ring is full the newest samples are
// dropped and counted. SIGPIPE is blocked on the writer thread, so a child
// that dies early never kills the program. The owner makes sure no push() is
// running when it destroys the object (as with any DSP block).

#include "engine/core/engine_errors.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <sys/types.h>

namespace lumaro::engine {

class EncoderProcess {
public:
    // Ring capacity: at least this many seconds of sound (rounded up to a
    // power of two bytes); beyond it push() drops.
    static constexpr double kBufferSeconds = 3.0;

    EncoderProcess();
    // Like stop(): the child gets whatever was pushed, then the end of its
    // input, and finishes on its own. Never waits for the child.
    ~EncoderProcess();
    EncoderProcess(const EncoderProcess&) = delete;
    EncoderProcess& operator=(const EncoderProcess&) = delete;

    // Splits commandLine (SplitCommandLine), and runs the program, looked up
    // in PATH, without a shell, in the caller's current directory, with its
    // standard input a pipe from us, its standard output and error on
    // /dev/null and LC_ALL=C.UTF-8 added to the environment (so UTF-8 text
    // in its arguments, such as tag titles, is read as UTF-8). sampleRate in
    // Hz, channels 1..8: the format of the header and of push(). Returns kOk
    // or an error code above.
    int start(const std::string& commandLine, int sampleRate, int channels);

    // Output thread: queues `frames` interleaved float frames (full scale
    // +-1.0, clamped) of the channel count given to start(). Does nothing
    // before start(), after stop() or once the child has gone.
    void push(const float* interleaved, int frames) noexcept;

    // Closes the input once the queued samples have been written, and returns
    // at once; the child finishes its file by itself and is reaped by the
    // writer thread. Further calls do nothing.
    void stop();

    // True from a successful start() until stop() or the child's end
    // (it exits or stops reading its input).
    bool active() const noexcept;
    // Frames dropped because the ring was full.
    uint64_t droppedFrames() const noexcept;
    // The child's process id, or -1 before a successful start().
    pid_t pid() const noexcept;
    // Waits up to `timeout` for the child to be reaped; true when it has been
    // (then exitStatus() holds its wait status). For tests and shutdown.
    bool waitForExit(std::chrono::milliseconds timeout) const;
    int exitStatus() const;

private:
    struct Shared;
    static void writerLoop(std::shared_ptr<Shared> shared);
    std::shared_ptr<Shared> shared_; // also held by the writer thread, which may outlive us
    int channels_ = 0;
};

} // namespace lumaro::engine
