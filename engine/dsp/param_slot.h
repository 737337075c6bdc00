#pragma once
// Hands a small parameter record from any thread to the output thread without
// ever making the output thread wait (a sequence lock whose reader gives up
// instead of retrying: a torn read is simply taken at the next block).

#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <type_traits>

namespace lumaro::engine {

template <class T> class ParamSlot {
    static_assert(std::is_trivially_copyable_v<T> && sizeof(T) % sizeof(uint32_t) == 0);
    static constexpr size_t kWords = sizeof(T) / sizeof(uint32_t);

public:
    explicit ParamSlot(const T& initial) { store(initial); }

    // Any thread except the output thread; writers wait only for each other.
    void store(const T& value) {
        std::array<uint32_t, kWords> words;
        std::memcpy(words.data(), &value, sizeof(T));
        std::lock_guard lock(writers_);
        const uint32_t s = seq_.load(std::memory_order_relaxed);
        seq_.store(s + 1, std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_release);
        for (size_t i = 0; i < kWords; ++i)
            words_[i].store(words[i], std::memory_order_relaxed);
        seq_.store(s + 2, std::memory_order_release);
    }

    // The last stored value. Any thread except the output thread.
    T load() const {
        std::lock_guard lock(writers_);
        return read();
    }

    // Output thread: copies the value into `out` when it changed since the
    // stamp in `seen` and the copy is whole; otherwise leaves both alone.
    bool loadIfChanged(T& out, uint32_t& seen) const noexcept {
        const uint32_t s1 = seq_.load(std::memory_order_acquire);
        if (s1 == seen || (s1 & 1u)) return false;
        const T value = read();
        std::atomic_thread_fence(std::memory_order_acquire);
        if (seq_.load(std::memory_order_relaxed) != s1) return false;
        out = value;
        seen = s1;
        return true;
    }

private:
    T read() const noexcept {
        std::array<uint32_t, kWords> words;
        for (size_t i = 0; i < kWords; ++i)
            words[i] = words_[i].load(std::memory_order_relaxed);
        T value;
        std::memcpy(&value, words.data(), sizeof(T));
        return value;
    }

    mutable std::mutex writers_;
    std::atomic<uint32_t> seq_{0}; // odd while a store is under way; never 0 after the first store
    std::array<std::atomic<uint32_t>, kWords> words_{};
};

// A value that glides linearly to its target over a fixed number of samples.
// Audio thread only.
class LinearRamp {
public:
    void jumpTo(float value) noexcept {
        current_ = target_ = value;
        remaining_ = 0;
    }
    void rampTo(float target, int samples) noexcept {
        if (target == target_) return;
        target_ = target;
        if (samples <= 0) {
            jumpTo(target);
            return;
        }
        remaining_ = samples;
        step_ = (target_ - current_) / static_cast<float>(samples);
    }
    float next() noexcept {
        if (remaining_ > 0) {
            current_ = --remaining_ == 0 ? target_ : current_ + step_;
        }
        return current_;
    }
    bool ramping() const noexcept { return remaining_ > 0; }
    float current() const noexcept { return current_; }
    float target() const noexcept { return target_; }

private:
    float current_ = 0.0f, target_ = 0.0f, step_ = 0.0f;
    int remaining_ = 0;
};

} // namespace lumaro::engine
