#pragma once
// Start-up timings of a stream. With LUMARO_TRACE_START set in the
// environment, each stage is printed once to stderr as
// "start: <stage> <ms since requested>"; otherwise a mark costs one atomic load.
namespace lumaro::engine::start_trace {

enum class Stage {
    kRequested,    // a stream was asked for: the clock restarts
    kReply,        // the server's reply headers arrived
    kOpened,       // the decoder knows the format
    kBuffered,     // the start-up buffer is filled; the opener returns
    kFirstDecoded, // the first block of samples is decoded
    kFirstMixed,   // the mixer handed the first samples to the output
    kFirstAtSink,  // the output reports them played (where it can tell)
};

// Any thread. Stages after kRequested print only the first time since the
// last kRequested.
void Mark(Stage stage) noexcept;

} // namespace lumaro::engine::start_trace
