#pragma once
// The thread that runs the caller's stream callbacks (status lines while a
// stream opens, metadata syncs) one after another in arrival order, so that a
// callback that waits (for a busy window, say) holds up only this thread and
// never the download, the decoder or the sound.
#include "engine/audio_library.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace lumaro::engine {

struct Channel;

class CallbackThread {
public:
    CallbackThread();
    // Shutdown().
    ~CallbackThread();
    CallbackThread(const CallbackThread&) = delete;
    CallbackThread& operator=(const CallbackThread&) = delete;

    // Any thread, never waits: queues `proc(line, 0, user)` for `ch`; returns
    // the delivery's stamp for WaitDelivered.
    std::uint64_t PostStatus(const std::weak_ptr<Channel>& ch, DOWNLOADPROC* proc, void* user,
                             std::string_view line);
    // Any thread, never waits: stores the block as the channel's newest
    // metadata at once and queues its syncs as they are now.
    void PostMeta(const std::shared_ptr<Channel>& ch, std::string_view block);
    // Returns once every delivery up to `stamp` has been run or dropped, or the
    // thread was shut down. Returns at once on the callback thread itself.
    void WaitDelivered(std::uint64_t stamp);
    // Drops what is queued and ends the thread. Joins it when it is idle; when
    // it is inside a callback (which may wait for the very thread calling
    // this), it is left to end by itself once that callback returns: it then
    // touches nothing but the queue it co-owns.
    void Shutdown();

    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
};

} // namespace lumaro::engine
