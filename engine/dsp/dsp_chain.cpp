#include "engine/dsp/dsp_chain.h"

#include <algorithm>

namespace lumaro::engine {

DspChain::DspChain() {
    owned_.push_back(std::make_unique<List>());
    current_.store(owned_.back().get());
}

DspChain::~DspChain() = default;

void DspChain::prepare(double sampleRate, int channels) {
    std::lock_guard lock(mutex_);
    sampleRate_ = sampleRate;
    channels_ = channels;
    for (const Entry& e : *current_.load())
        e.unit->prepare(sampleRate, channels);
}

void DspChain::reset() {
    std::lock_guard lock(mutex_);
    for (const Entry& e : *current_.load())
        e.unit->reset();
}

DspChain::Id DspChain::add(std::shared_ptr<DspUnit> unit, int priority) {
    if (!unit) return 0;
    std::lock_guard lock(mutex_);
    if (sampleRate_ > 0.0) unit->prepare(sampleRate_, channels_);
    auto next = std::make_unique<List>(*current_.load());
    const Id id = nextId_++;
    if (nextId_ == 0) nextId_ = 1;
    // after every unit of the same or a higher priority
    const auto at =
        std::find_if(next->begin(), next->end(), [&](const Entry& e) { return e.priority < priority; });
    DspUnit* raw = unit.get();
    next->insert(at, Entry{id, priority, std::move(unit), raw});
    publish(std::move(next));
    return id;
}

bool DspChain::remove(Id id) {
    std::lock_guard lock(mutex_);
    const List& now = *current_.load();
    if (std::none_of(now.begin(), now.end(), [&](const Entry& e) { return e.id == id; })) return false;
    auto next = std::make_unique<List>();
    next->reserve(now.size());
    std::copy_if(now.begin(), now.end(), std::back_inserter(*next),
                 [&](const Entry& e) { return e.id != id; });
    publish(std::move(next));
    return true;
}

std::shared_ptr<DspUnit> DspChain::find(Id id) const {
    std::lock_guard lock(mutex_);
    for (const Entry& e : *current_.load())
        if (e.id == id) return e.unit;
    return nullptr;
}

void DspChain::clear() {
    std::lock_guard lock(mutex_);
    publish(std::make_unique<List>());
}

void DspChain::publish(std::unique_ptr<List> next) {
    current_.store(next.get());
    owned_.push_back(std::move(next));
    collect();
}

// A list may go once it is not current and the output thread is not inside
// it. The output thread announces the list in inUse_ and then re-checks
// current_ (see process), so after the store above, a list that inUse_ does
// not name can no longer be picked up.
void DspChain::collect() {
    const List* current = current_.load();
    const List* busy = inUse_.load();
    std::erase_if(owned_,
                  [&](const std::unique_ptr<List>& l) { return l.get() != current && l.get() != busy; });
}

void DspChain::process(float* interleaved, int frames) noexcept {
    List* list = current_.load();
    for (;;) {
        inUse_.store(list);
        List* again = current_.load();
        if (again == list) break;
        list = again;
    }
    for (const Entry& e : *list)
        e.raw->process(interleaved, frames);
    inUse_.store(nullptr);
}

} // namespace lumaro::engine
