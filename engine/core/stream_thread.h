#pragma once
// A stream's own thread: the only part of the engine that knows the HTTP
// stream and the decoder. It opens the stream, reports to the waiting opener,
// then decodes into the channel's ring until the end or until the channel
// dies.
#include "engine/audio_library.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

namespace lumaro::engine {

struct Channel;
class CallbackThread;

// What the opener waits for.
struct OpenResult {
    std::mutex mutex;
    std::condition_variable done_cv;
    bool done = false; // mutex
    int error = 0;     // mutex; an engine error code, 0 when open

    void Finish(int code) {
        std::lock_guard lock(mutex);
        done = true;
        error = code;
        done_cv.notify_all();
    }
};

struct OpenRequest {
    std::string url;
    DOWNLOADPROC* status = nullptr; // reply lines while opening; null: none wanted
    void* user = nullptr;
    int timeout_ms = 5000;
    bool playlists = false;
    int prebuf_percent = 0;
    DWORD flags = 0;
    std::shared_ptr<CallbackThread> callbacks; // runs status and metadata callbacks
};

// Starts the stream's thread, counted among the engine's live threads.
void StartStreamThread(std::shared_ptr<Channel> ch, std::shared_ptr<OpenResult> result, OpenRequest req);

} // namespace lumaro::engine
