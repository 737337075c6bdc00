#pragma once
// A channel's ordered list of effects and callers' DSP callbacks.
//
// Order: higher priority runs first; units of equal priority run in the order
// they were added (so four effects added at priority 1 run in that order,
// all before a callback at priority 0).
//
// Threads: add(), remove(), find() and clear() may be called from any thread
// except the output thread, concurrently with process(); they never make the
// output thread wait. They publish a new copy of the list; the output thread
// keeps using the copy it started its block with, and old copies are freed
// later by a mutating call (or the destructor), never by the output thread.
// A removed unit may therefore still be finishing the block in progress when
// remove() returns; the chain keeps it alive until it has.
// prepare(), reset() and the destructor must not run concurrently with
// process().

#include "engine/dsp/dsp_unit.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace lumaro::engine {

// Wraps a callback as a chain unit, for callers' DSP callbacks. The callback
// runs on the output thread with the block (interleaved floats, frames).
class FunctionUnit final : public DspUnit {
public:
    using Callback = std::function<void(float* interleaved, int frames)>;
    explicit FunctionUnit(Callback callback) : callback_(std::move(callback)) {}
    void prepare(double, int) override {}
    void process(float* interleaved, int frames) noexcept override { callback_(interleaved, frames); }
    void reset() override {}

private:
    const Callback callback_;
};

class DspChain {
public:
    using Id = uint32_t; // 0 is never an id

    DspChain();
    ~DspChain();
    DspChain(const DspChain&) = delete;
    DspChain& operator=(const DspChain&) = delete;

    // Prepares every unit, and later added ones, for this format.
    void prepare(double sampleRate, int channels);
    void reset();

    // Adds a unit (prepared here for the chain's format when prepare() has
    // run). Returns its id. Null units are refused (returns 0).
    Id add(std::shared_ptr<DspUnit> unit, int priority);
    // False when no unit has this id (any more).
    bool remove(Id id);
    std::shared_ptr<DspUnit> find(Id id) const;
    void clear();

    // Output thread: runs every unit in order on the block.
    void process(float* interleaved, int frames) noexcept;

private:
    struct Entry {
        Id id;
        int priority;
        std::shared_ptr<DspUnit> unit;
        DspUnit* raw; // what the output thread calls; kept alive by `unit`
    };
    using List = std::vector<Entry>;

    void publish(std::unique_ptr<List> next); // with mutex_ held
    void collect();                           // with mutex_ held

    mutable std::mutex mutex_;                 // serialises mutators; never taken by process()
    std::atomic<List*> current_;               // the list the next block will use
    std::atomic<List*> inUse_{nullptr};        // the list the output thread is using, or null
    std::vector<std::unique_ptr<List>> owned_; // every list still alive, current one included; mutex_
    Id nextId_ = 1;                            // mutex_
    double sampleRate_ = 0.0;                  // mutex_; 0 until prepare()
    int channels_ = 0;                         // mutex_
};

} // namespace lumaro::engine
