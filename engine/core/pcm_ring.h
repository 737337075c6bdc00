#pragma once
// Single-producer single-consumer ring of interleaved float samples. The
// decoder thread writes, the output thread reads; neither ever waits.
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <vector>

namespace lumaro::engine::core {

class PcmRing {
public:
    // capacity in samples (not frames); fixed after construction
    explicit PcmRing(std::size_t capacity) : data_(capacity + 1) {}

    std::size_t Capacity() const { return data_.size() - 1; }
    // samples ready to read; exact for the reader, a lower bound for others
    std::size_t Available() const {
        const std::size_t w = write_.load(std::memory_order_acquire);
        const std::size_t r = read_.load(std::memory_order_acquire);
        return w >= r ? w - r : data_.size() - r + w;
    }
    std::size_t Free() const { return Capacity() - Available(); }

    // Producer: writes up to n samples, returns how many fitted.
    std::size_t Write(const float* src, std::size_t n) noexcept {
        const std::size_t w = write_.load(std::memory_order_relaxed);
        const std::size_t r = read_.load(std::memory_order_acquire);
        const std::size_t free = (r > w ? r - w : data_.size() - w + r) - 1;
        n = std::min(n, free);
        const std::size_t first = std::min(n, data_.size() - w);
        std::copy_n(src, first, data_.data() + w);
        std::copy_n(src + first, n - first, data_.data());
        write_.store((w + n) % data_.size(), std::memory_order_release);
        return n;
    }

    // Consumer: reads up to n samples, returns how many were read.
    std::size_t Read(float* dst, std::size_t n) noexcept {
        const std::size_t r = read_.load(std::memory_order_relaxed);
        const std::size_t w = write_.load(std::memory_order_acquire);
        const std::size_t avail = w >= r ? w - r : data_.size() - r + w;
        n = std::min(n, avail);
        const std::size_t first = std::min(n, data_.size() - r);
        std::copy_n(data_.data() + r, first, dst);
        std::copy_n(data_.data(), n - first, dst + first);
        read_.store((r + n) % data_.size(), std::memory_order_release);
        return n;
    }

private:
    std::vector<float> data_;
    std::atomic<std::size_t> write_{0}; // written by the producer only
    std::atomic<std::size_t> read_{0};  // written by the consumer only
};

} // namespace lumaro::engine::core
