#include "engine/net/download_buffer.h"

#include <algorithm>
#include <cstring>

namespace lumaro::engine {

DownloadBuffer::DownloadBuffer(std::size_t capacity)
    : capacity_(std::max<std::size_t>(capacity, 1)), data_(new unsigned char[capacity_]) {}

std::size_t DownloadBuffer::Write(const void* src, std::size_t n) {
    const auto* in = static_cast<const unsigned char*>(src);
    std::size_t done = 0;
    std::unique_lock lock(mutex_);
    while (done < n) {
        changed_.wait(lock, [&] { return stopped_ || ended_ || size_ < capacity_; });
        if (stopped_ || ended_) break;
        const std::size_t tail = (head_ + size_) % capacity_;
        const std::size_t chunk = std::min({n - done, capacity_ - size_, capacity_ - tail});
        std::memcpy(data_.get() + tail, in + done, chunk);
        size_ += chunk;
        total_written_ += chunk;
        done += chunk;
        changed_.notify_all();
    }
    return done;
}

void DownloadBuffer::SetEnd(int error) {
    std::lock_guard lock(mutex_);
    if (ended_) return;
    ended_ = true;
    end_error_ = error;
    changed_.notify_all();
}

DownloadBuffer::ReadResult DownloadBuffer::Read(void* dst, std::size_t n, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (n == 0) return {0, stopped_ ? ReadState::kStopped : ReadState::kData};
    changed_.wait_for(lock, timeout, [&] { return stopped_ || ended_ || size_ > 0; });
    if (stopped_) return {0, ReadState::kStopped};
    if (size_ == 0) return {0, ended_ ? ReadState::kEnd : ReadState::kTimeout};
    auto* out = static_cast<unsigned char*>(dst);
    std::size_t done = 0;
    while (done < n && size_ > 0) {
        const std::size_t chunk = std::min({n - done, size_, capacity_ - head_});
        std::memcpy(out + done, data_.get() + head_, chunk);
        head_ = (head_ + chunk) % capacity_;
        size_ -= chunk;
        done += chunk;
    }
    changed_.notify_all();
    return {done, ReadState::kData};
}

std::size_t DownloadBuffer::Peek(void* dst, std::size_t n) const {
    std::lock_guard lock(mutex_);
    auto* out = static_cast<unsigned char*>(dst);
    std::size_t done = 0, pos = head_;
    const std::size_t want = std::min(n, size_);
    while (done < want) {
        const std::size_t chunk = std::min(want - done, capacity_ - pos);
        std::memcpy(out + done, data_.get() + pos, chunk);
        pos = (pos + chunk) % capacity_;
        done += chunk;
    }
    return done;
}

bool DownloadBuffer::WaitForBuffered(std::size_t n, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    const std::size_t want = std::min(n, capacity_);
    changed_.wait_for(lock, timeout, [&] { return stopped_ || ended_ || size_ >= want; });
    return size_ >= want;
}

void DownloadBuffer::Stop() {
    std::lock_guard lock(mutex_);
    stopped_ = true;
    changed_.notify_all();
}

std::size_t DownloadBuffer::Buffered() const {
    std::lock_guard lock(mutex_);
    return size_;
}

std::uint64_t DownloadBuffer::TotalWritten() const {
    std::lock_guard lock(mutex_);
    return total_written_;
}

bool DownloadBuffer::Ended() const {
    std::lock_guard lock(mutex_);
    return ended_;
}

int DownloadBuffer::EndError() const {
    std::lock_guard lock(mutex_);
    return end_error_;
}

bool DownloadBuffer::Stopped() const {
    std::lock_guard lock(mutex_);
    return stopped_;
}

} // namespace lumaro::engine
