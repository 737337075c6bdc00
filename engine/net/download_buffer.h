#pragma once
// A fixed-capacity byte ring between one writer (the download thread) and one
// reader (the decoder thread). Every member is thread-safe.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

namespace lumaro::engine {

class DownloadBuffer {
public:
    // 64 KiB. The app starts playback once the buffer is more than 75 % full,
    // so the capacity sets the first-sound delay on a live stream: Icecast
    // sends its burst (64 KiB by default) at connect, which passes 75 % at
    // once, and a server without a burst needs about 3 s at 128 kbps. Full, it
    // still holds 4 s of 128 kbps audio (1.6 s at 320 kbps, 8 s at 64 kbps) to
    // ride out ordinary network jitter.
    static constexpr std::size_t kDefaultCapacity = 64 * 1024;

    explicit DownloadBuffer(std::size_t capacity = kDefaultCapacity);

    DownloadBuffer(const DownloadBuffer&) = delete;
    DownloadBuffer& operator=(const DownloadBuffer&) = delete;

    // Writer: copies all n bytes, waiting while the buffer is full, so a live
    // stream loses nothing. Returns the bytes copied: fewer than n only when
    // Stop() was called (or after end of stream was set).
    std::size_t Write(const void* src, std::size_t n);

    // Writer: marks the end of the data; error is 0 for a clean end or the
    // engine's error code for a broken download. Waiting readers wake.
    void SetEnd(int error = 0);

    enum class ReadState {
        kData,    // bytes > 0 were copied
        kTimeout, // nothing arrived within the time-out; the stream may go on
        kEnd,     // end of stream and every byte read
        kStopped, // Stop() was called
    };
    struct ReadResult {
        std::size_t bytes = 0;
        ReadState state = ReadState::kTimeout;
    };

    // Reader: copies up to n bytes that are there now; while the buffer is
    // empty, waits until data, end of stream, Stop() or the time-out.
    ReadResult Read(void* dst, std::size_t n, std::chrono::milliseconds timeout);

    // Copies up to n buffered bytes without consuming them; never waits.
    std::size_t Peek(void* dst, std::size_t n) const;

    // Waits until at least n bytes are buffered (or the buffer is full), end of
    // stream, Stop() or the time-out. True when the bytes are there.
    bool WaitForBuffered(std::size_t n, std::chrono::milliseconds timeout) const;

    // Wakes every waiter on both sides; later Write()s copy nothing and later
    // Read()s report kStopped. Never waits.
    void Stop();

    // Bytes buffered ahead of the reader, never waits.
    std::size_t Buffered() const;
    std::size_t Capacity() const { return capacity_; }
    // Bytes written since creation.
    std::uint64_t TotalWritten() const;
    bool Ended() const;
    // The error given to SetEnd(); 0 while running or after a clean end.
    int EndError() const;
    bool Stopped() const;

private:
    const std::size_t capacity_;            // never changes
    std::unique_ptr<unsigned char[]> data_; // the ring; guarded by mutex_
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_; // any change of the fields below
    std::size_t head_ = 0;                    // read position; mutex_
    std::size_t size_ = 0;                    // bytes buffered; mutex_
    std::uint64_t total_written_ = 0;         // mutex_
    bool ended_ = false;                      // mutex_
    int end_error_ = 0;                       // mutex_
    bool stopped_ = false;                    // mutex_
};

} // namespace lumaro::engine
