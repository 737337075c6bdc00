#pragma once
// An HTTP/HTTPS/ICY stream fetched by libcurl on a download thread of its own
// into a DownloadBuffer, which the decoder reads.
//
// Threads: Open() runs on the caller's thread and blocks; the download thread
// runs every callback; all getters are thread-safe and never wait for the
// network. Freeing: ~HttpStream() and Stop() return at once from any thread.
// The download thread shares the stream's state and ends on its own, at
// once (Stop() wakes curl's wait and a write blocked on a full buffer) unless
// it is inside a callback; it never waits for the owner. A callback that is running when Stop() is called may
// finish, and one more may start if it raced with Stop(); the callbacks (and what they capture) live until
// the download thread ends, so capture shared state, not raw pointers to something the owner frees.

#include "engine/net/download_buffer.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lumaro::engine {

struct HttpStreamOptions {
    // Connect and reply time-out, ms (the engine's net time-out option): the
    // reply's headers must be in within it, and the first body bytes (when
    // they decide whether the body is a playlist or HLS) within it again.
    int timeout_ms = 5000;
    // ms without a body byte after Open() succeeded before the download ends
    // with error 40; 0 waits forever (a stalled live stream stays open).
    int stall_timeout_ms = 0;
    std::size_t buffer_capacity = DownloadBuffer::kDefaultCapacity;
    // Follow pls, m3u, asx and xspf playlists: their entries are opened in
    // order (each with the full time-out, at most kMaxPlaylistEntries, nested
    // playlists two deep) and the first that opens is the stream. Off, a
    // playlist reply fails with 41.
    bool resolve_playlists = false;
    int max_redirects = 10;
    // Download thread: each raw status or header line of every reply (the
    // redirects' too), exactly as the server sent it, without its CR LF.
    std::function<void(std::string_view line)> on_status_line;
    // Download thread: each new non-empty ICY metadata block (see IcyDemuxer::Feed:
    // a block that differs from the previous one), raw, e.g.
    // "StreamTitle='A - B';StreamUrl='';". audio_offset: the audio bytes
    // written to the buffer before it.
    std::function<void(std::string_view block, std::uint64_t audio_offset)> on_metadata;
    // Optional: set to true from any thread to abandon an Open() in progress
    // (it returns kCannotOpen within ~50 ms) and stop the download.
    std::shared_ptr<std::atomic<bool>> cancel;
};

class HttpStream {
public:
    static constexpr int kMaxPlaylistEntries = 10;

    // Opens the URL (http:// or https://) and blocks until the final reply's
    // headers are in and the body is known to be audio, or until failure.
    // Returns nullptr with *error set to the engine's error code on failure
    // (see engine_errors.h): 2 bad URL / HTTP error status / broken reply /
    // redirect loop; 32 no connection; 40 time-out; 41 not audio (text/html,
    // a playlist while resolve_playlists is off, a playlist without playable
    // entries). An HLS reply succeeds with IsHls() true and no download
    // running: hand FinalUrl() to FFmpeg's HLS demuxer.
    static std::unique_ptr<HttpStream> Open(const std::string& url, HttpStreamOptions options, int* error);

    ~HttpStream();
    HttpStream(const HttpStream&) = delete;
    HttpStream& operator=(const HttpStream&) = delete;

    // Ends the download and wakes the buffer's waiters (the decoder's Read()
    // then reports kStopped). Never waits; no callback starts afterwards
    // except one that raced with it.
    void Stop();

    // The audio bytes (metadata removed). The decoder may keep this pointer
    // beyond the stream's life.
    std::shared_ptr<DownloadBuffer> Buffer() const;

    // The URL after redirects and playlist resolution.
    std::string FinalUrl() const;
    // The final reply's Content-Type value as sent; empty when absent.
    std::string ContentType() const;
    // FFmpeg input format for the content type ("mp3", "aac", "ogg", ...), or
    // empty when FFmpeg should probe.
    std::string InputFormat() const;
    // HTTP status code of the final reply (200 for "ICY 200 OK").
    int StatusCode() const;
    // The final reply's raw lines as sent, without CR LF: the status line
    // ("HTTP/1.1 200 OK" or "ICY 200 OK") first, then each header line. For
    // the engine's tag type 3.
    std::vector<std::string> HeaderLines() const;
    // The final reply's header lines that start with "icy-" (any case), as
    // sent: "icy-name:Jazz" and "icy-name: Jazz" stay as they are. Empty when
    // there are none. For the engine's tag type 4.
    std::vector<std::string> IcyHeaderLines() const;
    // icy-metaint of the final reply; 0 when absent.
    std::uint64_t Metaint() const;
    // The latest metadata block (tag type 5); empty before the first.
    std::string LatestMetadata() const;
    bool IsHls() const;

    // Download state.
    bool Ended() const;   // the download has ended (cleanly or not) or was stopped
    int EndError() const; // 0 for a clean end or while running, else the error code

    // Download threads end on their own after Stop(); LiveThreads counts them.

    struct State; // shared between the owner and the download thread

private:
    explicit HttpStream(std::shared_ptr<State> state);
    std::shared_ptr<State> state_;
};

} // namespace lumaro::engine
