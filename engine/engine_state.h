#pragma once
// The engine's shared state behind AudioEngine, and the error helpers of its
// calls. Private to the engine's facade files.
#include "engine/audio_engine.h"
#include "engine/core/callback_thread.h"
#include "engine/core/channel.h"
#include "engine/core/mixer.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace lumaro::engine {

// The last error code of the calling thread.
inline thread_local int t_error = 0;

template <class T> T Fail(int code, T value) {
    t_error = code;
    return value;
}
inline BOOL Ok() {
    t_error = BASS_OK;
    return kTrue;
}
template <class T> T Done(T value) {
    t_error = BASS_OK;
    return value;
}

// Any thread: a handle never given out before (never 0).
DWORD NextHandle();

struct AudioEngine::State {
    explicit State(OutputFactory factory) : make_output(std::move(factory)) {}

    const OutputFactory make_output; // never changes

    std::mutex handles_mutex;
    bool initialised = false;                                                       // handles_mutex
    std::unordered_map<DWORD, std::shared_ptr<Channel>> channels;                   // handles_mutex
    std::unordered_set<std::shared_ptr<Channel>> opening;                           // handles_mutex
    std::unordered_map<HDSP, std::pair<std::weak_ptr<Channel>, DspChain::Id>> dsps; // handles_mutex
    std::unordered_map<HFX, std::pair<std::weak_ptr<Channel>, FxEntry>> fxs;        // handles_mutex
    // Freed channels the mixer may still list; dropped once it has let go, so
    // no channel is destroyed on the output thread. handles_mutex
    std::vector<std::shared_ptr<Channel>> zombies;
    std::unique_ptr<AudioOutput> output;       // handles_mutex
    std::shared_ptr<CallbackThread> callbacks; // handles_mutex

    // Never taken while holding handles_mutex: a DSP callback on the output
    // thread (mixer mutex held) may free its channel.
    Mixer mixer;

    std::atomic<DWORD> cfg_playlist{0};
    std::atomic<DWORD> cfg_prebuf{0};
    std::atomic<DWORD> cfg_timeout{5000};

    // Runs `use` on the channel of `handle`, or fails with BASS_ERROR_HANDLE
    // and returns `failed`.
    template <class T, class F> T FindOr(DWORD handle, T failed, F&& use) {
        std::shared_ptr<Channel> ch;
        {
            std::lock_guard lock(handles_mutex);
            if (auto it = channels.find(handle); it != channels.end()) ch = it->second;
        }
        if (!ch) return Fail(BASS_ERROR_HANDLE, failed);
        return use(ch);
    }
    // The effect of `handle`, or null with BASS_ERROR_HANDLE.
    std::optional<FxEntry> FindFx(HFX handle) {
        std::lock_guard lock(handles_mutex);
        auto it = fxs.find(handle);
        if (it == fxs.end()) return Fail(BASS_ERROR_HANDLE, std::optional<FxEntry>{});
        return it->second.second;
    }
    void PurgeZombies() { // handles_mutex held
        std::erase_if(zombies, [](const auto& ch) { return !ch->in_mix.load(); });
    }
    // Ends a freed channel's recordings: the program gets the end of its input.
    void StopEncoders(Channel& ch) {
        for (auto& process : mixer.TakeEncoders(ch))
            process->stop();
    }
};

} // namespace lumaro::engine
