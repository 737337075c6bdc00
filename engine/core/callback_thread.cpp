#include "engine/core/callback_thread.h"

#include "engine/core/channel.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace lumaro::engine {

struct Delivery {
    std::weak_ptr<Channel> channel;
    std::uint64_t stamp = 0;
    DOWNLOADPROC* status = nullptr; // a status line when set, else a metadata change
    void* user = nullptr;
    std::string line;
    std::vector<SyncEntry> syncs;
};

struct CallbackThread::Shared {
    std::mutex mutex;
    std::condition_variable queued;    // work or the end for the thread
    std::condition_variable delivered; // `done` moved, for WaitDelivered
    std::deque<Delivery> queue;        // mutex
    std::uint64_t posted = 0;          // mutex; stamp of the last queued delivery
    std::uint64_t done = 0;            // mutex; every stamp up to this is handed out
    bool stopping = false;             // mutex
    bool busy = false;                 // mutex; inside a caller's callback
    std::thread thread;                // the owning CallbackThread's thread only
    std::thread::id id;                // never changes after start-up

    std::uint64_t Post(Delivery d) {
        std::lock_guard lock(mutex);
        if (stopping) return posted;
        d.stamp = ++posted;
        queue.push_back(std::move(d));
        queued.notify_one();
        return posted;
    }
};

namespace {

void Deliver(const Delivery& d) {
    auto ch = d.channel.lock();
    if (!ch || ch->dead) return; // freed meanwhile: nobody waits for it any more
    if (d.status) {
        d.status(d.line.c_str(), 0, d.user);
        return;
    }
    for (const auto& s : d.syncs) {
        if (ch->dead) return;
        s.proc(s.handle, ch->handle, 0, s.user);
    }
}

// The callback thread. Holds its own reference to the queue, so it may end
// after the CallbackThread that started it.
void Run(std::shared_ptr<CallbackThread::Shared> s) {
    for (;;) {
        Delivery d;
        {
            std::unique_lock lock(s->mutex);
            s->queued.wait(lock, [&] { return s->stopping || !s->queue.empty(); });
            if (s->stopping) return;
            d = std::move(s->queue.front());
            s->queue.pop_front();
            s->busy = true;
        }
        Deliver(d);
        {
            std::lock_guard lock(s->mutex);
            s->busy = false;
            s->done = std::max(s->done, d.stamp);
        }
        s->delivered.notify_all();
    }
}

} // namespace

CallbackThread::CallbackThread() : shared_(std::make_shared<Shared>()) {
    std::lock_guard lock(shared_->mutex);
    shared_->thread = std::thread(Run, shared_);
    shared_->id = shared_->thread.get_id();
}

CallbackThread::~CallbackThread() {
    Shutdown();
}

std::uint64_t CallbackThread::PostStatus(const std::weak_ptr<Channel>& ch, DOWNLOADPROC* proc, void* user,
                                         std::string_view line) {
    Delivery d;
    d.channel = ch;
    d.status = proc;
    d.user = user;
    d.line = line;
    return shared_->Post(std::move(d));
}

void CallbackThread::PostMeta(const std::shared_ptr<Channel>& ch, std::string_view block) {
    Delivery d;
    {
        std::lock_guard lock(ch->tags_mutex);
        ch->tag_meta.emplace_back(block);
        if (ch->tag_meta.size() > kMetaHistory) ch->tag_meta.pop_front();
        d.syncs = ch->syncs;
    }
    if (d.syncs.empty()) return;
    d.channel = ch;
    shared_->Post(std::move(d));
}

void CallbackThread::WaitDelivered(std::uint64_t stamp) {
    Shared& s = *shared_;
    if (std::this_thread::get_id() == s.id) return;
    std::unique_lock lock(s.mutex);
    s.delivered.wait(lock, [&] { return s.stopping || s.done >= stamp; });
}

void CallbackThread::Shutdown() {
    Shared& s = *shared_;
    bool join = false;
    std::thread thread;
    {
        std::lock_guard lock(s.mutex);
        if (!s.thread.joinable()) return;
        s.stopping = true;
        s.queue.clear();
        s.done = s.posted;
        thread = std::move(s.thread);
        join = !s.busy && std::this_thread::get_id() != s.id;
    }
    s.queued.notify_all();
    s.delivered.notify_all();
    if (join)
        thread.join();
    else
        thread.detach(); // inside a callback: it ends when that returns
}

} // namespace lumaro::engine
