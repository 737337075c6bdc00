#include "engine/net/http_stream.h"

#include "engine/core/live_threads.h"

#include "engine/core/engine_errors.h"
#include "engine/net/content_type.h"
#include "engine/net/icy_demuxer.h"
#include "engine/net/playlist.h"

#include <curl/curl.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace lumaro::engine {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A reply whose header block passes either bound is refused (a hostile
// server's endless headers), well before curl's own larger limits.
constexpr std::size_t kMaxHeaderBytes = 64 * 1024;
constexpr std::size_t kMaxHeaderLines = 200;
// Bytes looked at to tell a playlist or HLS from audio.
constexpr std::size_t kSniffBytes = 1024;
// A playlist body beyond this is cut there.
constexpr std::size_t kMaxPlaylistBytes = 512 * 1024;
// How often a blocked Open() looks at its cancel flag.
constexpr milliseconds kCancelPoll{50};
// own_error when a buffer write was cut short by Stop(): an end, not a failure.
constexpr int kWriteStopped = -2;

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (Lower(s[i]) != Lower(prefix[i])) return false;
    return true;
}

// The value of header line "Name: value" when its name is `name` (any case).
bool HeaderValue(std::string_view line, std::string_view name, std::string_view& value) {
    if (line.size() <= name.size() || line[name.size()] != ':' || !StartsWithNoCase(line, name)) return false;
    value = line.substr(name.size() + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
        value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t'))
        value.remove_suffix(1);
    return true;
}

int ErrorFromCurl(CURLcode rc) {
    switch (rc) {
    case CURLE_OK:
        return engine_error::kOk;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
        return engine_error::kNoConnection;
    case CURLE_OPERATION_TIMEDOUT:
        return engine_error::kTimeout;
    case CURLE_OUT_OF_MEMORY:
        return engine_error::kMemory;
    case CURLE_PEER_FAILED_VERIFICATION: // waiting will not change it: told apart for reconnects
        return engine_error::kCertificate;
    default:
        return engine_error::kCannotOpen;
    }
}

void GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

} // namespace

struct HttpStream::State {
    // Never change after Open() starts the thread.
    std::string url;
    HttpStreamOptions options;
    std::shared_ptr<DownloadBuffer> buffer;
    Clock::time_point header_deadline;

    std::atomic<bool> stop{false};

    mutable std::mutex mutex;
    std::condition_variable changed; // headers_done, failed, finished
    // Guarded by mutex:
    bool headers_done = false;
    bool failed = false;   // ended before the final headers
    bool finished = false; // the download thread has ended
    int error = 0;         // why it failed, or why the download ended
    std::vector<std::string> header_lines;
    std::string content_type, final_url;
    int status = 0;
    std::uint64_t metaint = 0;
    std::string latest_metadata;
    bool hls = false;

    // Download thread only:
    std::vector<std::string> reply_lines; // the reply being read
    std::size_t reply_bytes = 0;
    int own_error = 0; // an error the callbacks found themselves
    bool timed_out = false, stalled = false;
    Clock::time_point last_data;
    std::unique_ptr<IcyDemuxer> demuxer;
    CURL* curl = nullptr;
    // The transfer's multi handle while it runs, for Stop() to wake; mutex.
    CURLM* multi = nullptr;

    bool Stopping() const { return stop.load() || (options.cancel && options.cancel->load()); }

    // Download thread: the blank line after a reply's headers.
    bool EndOfReply() {
        long code = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &code);
        bool has_location = false;
        std::string_view value;
        std::string type;
        std::uint64_t icy_metaint = 0;
        for (const std::string& line : reply_lines) {
            if (HeaderValue(line, "location", value)) has_location = true;
            if (HeaderValue(line, "content-type", value)) type = value;
            if (HeaderValue(line, "icy-metaint", value)) icy_metaint = ParseMetaint(value);
        }
        if (code >= 100 && code < 200) return true;                 // interim reply
        if (code >= 300 && code < 400 && has_location) return true; // curl follows it
        if (code >= 400 || (code >= 300 && code < 400) || code < 100) {
            own_error = engine_error::kCannotOpen;
            return false;
        }
        char* effective = nullptr;
        curl_easy_getinfo(curl, CURLINFO_EFFECTIVE_URL, &effective);
        demuxer = std::make_unique<IcyDemuxer>(
            icy_metaint,
            [this](const char* data, std::size_t size) {
                if (buffer->Write(data, size) < size) own_error = kWriteStopped;
            },
            [this](std::string_view block, std::uint64_t offset) {
                {
                    std::lock_guard lock(mutex);
                    latest_metadata = block;
                }
                if (!Stopping() && options.on_metadata) options.on_metadata(block, offset);
            });
        last_data = Clock::now();
        std::lock_guard lock(mutex);
        header_lines = reply_lines;
        content_type = type;
        final_url = effective ? effective : url;
        status = static_cast<int>(code);
        metaint = icy_metaint;
        headers_done = true;
        changed.notify_all();
        return true;
    }

    // Download thread: curl's header callback, one line at a time.
    static size_t OnHeader(char* data, size_t size, size_t count, void* user) {
        auto* s = static_cast<State*>(user);
        const size_t n = size * count;
        if (s->Stopping()) return 0;
        std::string_view line(data, n);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.remove_suffix(1);
        if (s->demuxer) {
            // Trailers after a chunked body: reported, but the reply's headers stay.
            if (!line.empty() && s->options.on_status_line) s->options.on_status_line(line);
            return n;
        }
        const bool status_line = StartsWithNoCase(line, "HTTP/") || StartsWithNoCase(line, "ICY ");
        if (status_line) {
            s->reply_lines.clear();
            s->reply_bytes = 0;
        }
        s->reply_bytes += n;
        if (s->reply_bytes > kMaxHeaderBytes || s->reply_lines.size() >= kMaxHeaderLines) {
            s->own_error = engine_error::kCannotOpen;
            return 0;
        }
        if (line.empty()) return s->EndOfReply() ? n : 0;
        s->reply_lines.emplace_back(line);
        if (s->options.on_status_line) s->options.on_status_line(line);
        return n;
    }

    // Download thread: body bytes of the final reply.
    static size_t OnBody(char* data, size_t size, size_t count, void* user) {
        auto* s = static_cast<State*>(user);
        const size_t n = size * count;
        if (s->Stopping() || !s->demuxer) return 0;
        s->last_data = Clock::now();
        s->demuxer->Feed(data, n);
        return s->own_error == kWriteStopped || s->Stopping() ? 0 : n;
    }

    // Download thread: curl calls it about once a second at least, and while
    // connecting; non-zero aborts the transfer.
    static int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
        auto* s = static_cast<State*>(user);
        if (s->Stopping()) return 1;
        bool done;
        {
            std::lock_guard lock(s->mutex);
            done = s->headers_done;
        }
        const auto now = Clock::now();
        if (!done && now > s->header_deadline) {
            s->timed_out = true;
            return 1;
        }
        if (done && s->options.stall_timeout_ms > 0 &&
            now - s->last_data > milliseconds(s->options.stall_timeout_ms)) {
            s->stalled = true;
            return 1;
        }
        return 0;
    }

    // Download thread: runs the transfer on a multi handle so that Stop() can
    // wake curl's wait at once (curl_multi_wakeup) instead of curl noticing
    // the stop at its next progress call, up to a second later.
    CURLcode Transfer() {
        CURLM* m = curl_multi_init();
        if (!m || curl_multi_add_handle(m, curl) != CURLM_OK) {
            if (m) curl_multi_cleanup(m);
            return CURLE_OUT_OF_MEMORY;
        }
        {
            std::lock_guard lock(mutex);
            multi = m;
        }
        CURLcode rc = CURLE_ABORTED_BY_CALLBACK;
        int running = 1;
        while (!Stopping()) {
            if (curl_multi_perform(m, &running) != CURLM_OK) break;
            if (running == 0) {
                int left = 0;
                while (CURLMsg* msg = curl_multi_info_read(m, &left))
                    if (msg->msg == CURLMSG_DONE) rc = msg->data.result;
                break;
            }
            if (curl_multi_poll(m, nullptr, 0, 1000, nullptr) != CURLM_OK) break;
        }
        {
            std::lock_guard lock(mutex);
            multi = nullptr;
        }
        curl_multi_remove_handle(m, curl);
        curl_multi_cleanup(m);
        return rc;
    }

    // Download thread body.
    static void Run(std::shared_ptr<State> s) {
        CURLcode rc = CURLE_FAILED_INIT;
        s->curl = curl_easy_init();
        curl_slist* headers = curl_slist_append(nullptr, "Icy-MetaData: 1");
        // Shoutcast-style servers answer "ICY 200 OK"; curl takes it for "HTTP/1.0 200 OK".
        curl_slist* aliases = curl_slist_append(nullptr, "ICY 200 OK");
        if (s->curl && headers && aliases) {
            CURL* c = s->curl;
            curl_easy_setopt(c, CURLOPT_URL, s->url.c_str());
            curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
            curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
            curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
            curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
            curl_easy_setopt(c, CURLOPT_MAXREDIRS, static_cast<long>(s->options.max_redirects));
            curl_easy_setopt(c, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
            curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers);
            curl_easy_setopt(c, CURLOPT_HTTP200ALIASES, aliases);
            curl_easy_setopt(c, CURLOPT_USERAGENT, "LumaroRadio/0.1");
            curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS,
                             static_cast<long>(std::max(1, s->options.timeout_ms)));
            curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, &State::OnHeader);
            curl_easy_setopt(c, CURLOPT_HEADERDATA, s.get());
            curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &State::OnBody);
            curl_easy_setopt(c, CURLOPT_WRITEDATA, s.get());
            curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
            curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &State::OnProgress);
            curl_easy_setopt(c, CURLOPT_XFERINFODATA, s.get());
            rc = s->Transfer();
        }
        if (s->demuxer) s->demuxer->Finish();

        int error;
        if (s->own_error > 0)
            error = s->own_error;
        else if (s->timed_out || s->stalled)
            error = engine_error::kTimeout;
        else if (rc == CURLE_FAILED_INIT)
            error = engine_error::kMemory;
        else
            error = ErrorFromCurl(rc);
        if (s->Stopping() || s->own_error == kWriteStopped) error = engine_error::kOk;

        {
            std::lock_guard lock(s->mutex);
            if (!s->headers_done) {
                s->failed = true;
                if (error == engine_error::kOk) error = engine_error::kCannotOpen;
            }
            s->error = error;
            s->finished = true;
            s->changed.notify_all();
        }
        s->buffer->SetEnd(error);

        curl_easy_cleanup(s->curl);
        s->curl = nullptr;
        curl_slist_free_all(headers);
        curl_slist_free_all(aliases);
        s->demuxer.reset();
        s.reset();
        LiveThreads::Ended();
    }
};

namespace {

// Ends the download: wakes the buffer's waiters and curl's wait. Never waits.
void StopState(HttpStream::State& s) {
    s.stop = true;
    s.buffer->Stop();
    std::lock_guard lock(s.mutex);
    if (s.multi) curl_multi_wakeup(s.multi);
    s.changed.notify_all();
}

// Starts the download of one URL and waits for its final headers. Returns the
// state on success; on failure stops it and sets *error.
std::shared_ptr<HttpStream::State> StartDownload(const std::string& url, const HttpStreamOptions& options,
                                                 int* error) {
    auto s = std::make_shared<HttpStream::State>();
    s->url = url;
    s->options = options;
    s->buffer = std::make_shared<DownloadBuffer>(options.buffer_capacity);
    s->header_deadline = Clock::now() + milliseconds(std::max(1, options.timeout_ms));
    LiveThreads::Started();
    try {
        std::thread(&HttpStream::State::Run, s).detach();
    } catch (...) {
        LiveThreads::Ended();
        *error = engine_error::kMemory;
        return nullptr;
    }

    std::unique_lock lock(s->mutex);
    while (!s->headers_done && !s->failed) {
        if (s->Stopping()) {
            *error = engine_error::kCannotOpen;
            break;
        }
        const auto now = Clock::now();
        if (now >= s->header_deadline) {
            *error = engine_error::kTimeout;
            break;
        }
        s->changed.wait_for(lock, std::min<Clock::duration>(kCancelPoll, s->header_deadline - now));
    }
    if (s->headers_done) return s;
    if (s->failed) *error = s->error;
    lock.unlock();
    StopState(*s);
    return nullptr;
}

bool WaitBuffered(const HttpStream::State& s, std::size_t n, Clock::time_point deadline) {
    while (!s.Stopping()) {
        const auto now = Clock::now();
        if (now >= deadline) return false;
        if (s.buffer->WaitForBuffered(n, std::chrono::duration_cast<milliseconds>(
                                             std::min<Clock::duration>(kCancelPoll, deadline - now))))
            return true;
        if (s.buffer->Ended()) return false;
    }
    return false;
}

std::shared_ptr<HttpStream::State> OpenAt(const std::string& url, const HttpStreamOptions& options, int depth,
                                          int* error) {
    if (!StartsWithNoCase(url, "http://") && !StartsWithNoCase(url, "https://")) {
        *error = engine_error::kCannotOpen;
        return nullptr;
    }
    std::shared_ptr<HttpStream::State> s = StartDownload(url, options, error);
    if (!s) return nullptr;

    std::string type, final_url;
    {
        std::lock_guard lock(s->mutex);
        type = s->content_type;
        final_url = s->final_url;
    }
    const ContentKind kind = ClassifyContentType(type);
    // video/x-ms-asf names both ASF audio and ASX playlists.
    if (kind == ContentKind::kAudio && MediaType(type) != "video/x-ms-asf") return s;

    // Look at the first bytes to tell audio, playlist and HLS apart.
    const auto deadline = Clock::now() + milliseconds(std::max(1, options.timeout_ms));
    WaitBuffered(*s, kSniffBytes, deadline);
    if (s->Stopping()) {
        StopState(*s);
        *error = engine_error::kCannotOpen;
        return nullptr;
    }
    std::string head(kSniffBytes, '\0');
    head.resize(s->buffer->Peek(head.data(), head.size()));
    if (head.empty() && !s->buffer->Ended()) {
        StopState(*s);
        *error = engine_error::kTimeout;
        return nullptr;
    }
    const PlaylistKind playlist = DetectPlaylist(type, final_url, head);
    if (playlist == PlaylistKind::kHls) {
        StopState(*s);
        std::lock_guard lock(s->mutex);
        s->hls = true;
        return s;
    }
    if (playlist == PlaylistKind::kNone) {
        if (kind == ContentKind::kNotAudio || MediaType(type).starts_with("text/") || head.empty() ||
            kind == ContentKind::kPlaylist) {
            StopState(*s);
            *error = engine_error::kUnsupportedFormat;
            return nullptr;
        }
        return s;
    }
    if (!options.resolve_playlists || depth >= 2) {
        StopState(*s);
        *error = engine_error::kUnsupportedFormat;
        return nullptr;
    }

    // A playlist: read it whole, then open its entries in order.
    std::string body;
    char chunk[4096];
    while (body.size() < kMaxPlaylistBytes && !s->Stopping()) {
        const auto now = Clock::now();
        if (now >= deadline) break;
        const auto r = s->buffer->Read(
            chunk, sizeof chunk,
            std::chrono::duration_cast<milliseconds>(std::min<Clock::duration>(kCancelPoll, deadline - now)));
        if (r.state == DownloadBuffer::ReadState::kData)
            body.append(chunk, r.bytes);
        else if (r.state != DownloadBuffer::ReadState::kTimeout)
            break;
    }
    StopState(*s);
    if (options.cancel && options.cancel->load()) {
        *error = engine_error::kCannotOpen;
        return nullptr;
    }
    const std::vector<std::string> entries = ParsePlaylistAs(playlist, final_url, body);
    *error = engine_error::kUnsupportedFormat;
    int tried = 0;
    for (const std::string& entry : entries) {
        if (tried++ >= HttpStream::kMaxPlaylistEntries) break;
        if (options.cancel && options.cancel->load()) return nullptr;
        int entry_error = 0;
        if (auto opened = OpenAt(entry, options, depth + 1, &entry_error)) return opened;
        *error = entry_error;
    }
    return nullptr;
}

} // namespace

std::unique_ptr<HttpStream> HttpStream::Open(const std::string& url, HttpStreamOptions options, int* error) {
    GlobalInit();
    int local_error = 0;
    if (!error) error = &local_error;
    *error = engine_error::kOk;
    std::shared_ptr<State> s = OpenAt(url, options, 0, error);
    if (!s) {
        if (*error == engine_error::kOk) *error = engine_error::kCannotOpen;
        return nullptr;
    }
    *error = engine_error::kOk;
    return std::unique_ptr<HttpStream>(new HttpStream(std::move(s)));
}

HttpStream::HttpStream(std::shared_ptr<State> state) : state_(std::move(state)) {}

HttpStream::~HttpStream() {
    Stop();
}

void HttpStream::Stop() {
    StopState(*state_);
}

std::shared_ptr<DownloadBuffer> HttpStream::Buffer() const {
    return state_->buffer;
}

std::string HttpStream::FinalUrl() const {
    std::lock_guard lock(state_->mutex);
    return state_->final_url;
}

std::string HttpStream::ContentType() const {
    std::lock_guard lock(state_->mutex);
    return state_->content_type;
}

std::string HttpStream::InputFormat() const {
    const char* format = FfmpegFormatForContentType(ContentType());
    return format ? format : "";
}

int HttpStream::StatusCode() const {
    std::lock_guard lock(state_->mutex);
    return state_->status;
}

std::vector<std::string> HttpStream::HeaderLines() const {
    std::lock_guard lock(state_->mutex);
    return state_->header_lines;
}

std::vector<std::string> HttpStream::IcyHeaderLines() const {
    std::lock_guard lock(state_->mutex);
    std::vector<std::string> out;
    for (std::size_t i = 1; i < state_->header_lines.size(); ++i)
        if (StartsWithNoCase(state_->header_lines[i], "icy-")) out.push_back(state_->header_lines[i]);
    return out;
}

std::uint64_t HttpStream::Metaint() const {
    std::lock_guard lock(state_->mutex);
    return state_->metaint;
}

std::string HttpStream::LatestMetadata() const {
    std::lock_guard lock(state_->mutex);
    return state_->latest_metadata;
}

bool HttpStream::IsHls() const {
    std::lock_guard lock(state_->mutex);
    return state_->hls;
}

bool HttpStream::Ended() const {
    std::lock_guard lock(state_->mutex);
    return state_->finished || state_->stop.load();
}

int HttpStream::EndError() const {
    std::lock_guard lock(state_->mutex);
    return state_->finished ? state_->error : 0;
}

} // namespace lumaro::engine
