#include "engine/core/stream_thread.h"

#include "engine/core/callback_thread.h"
#include "engine/core/channel.h"
#include "engine/core/engine_errors.h"
#include "engine/core/ffmpeg_decoder.h"
#include "engine/core/live_threads.h"
#include "engine/core/start_trace.h"
#include "engine/net/download_buffer.h"
#include "engine/net/http_stream.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <strings.h>
#include <thread>
#include <vector>

namespace lumaro::engine {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Download buffer length. The player starts playback once it is more than 75 %
// full, so this sets the first-sound delay: Icecast's connect burst (64 KiB by
// default) covers the decoder's first second (16 KiB at 128 kbps) and 75 % of
// 32 KiB at once, and a server without a burst needs about 1.5 s at 128 kbps.
// Full, it holds 2 s at 128 kbps (4 s at 64 kbps, 0.8 s at 320 kbps), on top
// of the decoded second of the channel's ring, to ride out network jitter.
constexpr std::size_t kDownloadBufferBytes = 32 * 1024;

std::string JoinTagList(const std::vector<std::string>& lines) {
    std::string list;
    for (const auto& line : lines) {
        list += line;
        list += '\0';
    }
    return list; // c_str() adds the closing empty string's NUL
}

bool IsHttpUrl(const std::string& url) {
    auto starts = [&](const char* prefix) {
        const std::size_t n = std::strlen(prefix);
        return url.size() > n && strncasecmp(url.c_str(), prefix, n) == 0;
    };
    return starts("http://") || starts("https://");
}

// Stream thread: opens the stream, reports to the waiting opener, then decodes
// until the end or until the channel dies.
void RunStream(std::shared_ptr<Channel> ch, std::shared_ptr<OpenResult> result, OpenRequest req) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(req.timeout_ms);
    std::weak_ptr<Channel> weak = ch;
    const std::shared_ptr<CallbackThread> callbacks = req.callbacks;
    std::unique_ptr<HttpStream> http;
    std::string url = req.url;
    // HLS is told by the reply's body, never by the name alone: many ".m3u8"
    // URLs are plain m3u playlists, which FFmpeg's HLS reader refuses.
    bool hls = false;
    std::string format;

    if (!IsHttpUrl(url)) return result->Finish(engine_error::kCannotOpen);
    {
        HttpStreamOptions options;
        options.timeout_ms = req.timeout_ms;
        options.buffer_capacity = kDownloadBufferBytes;
        options.resolve_playlists = req.playlists;
        options.cancel = ch->cancel;
        if (req.status) {
            options.on_status_line = [weak, callbacks, proc = req.status,
                                      user = req.user](std::string_view line) {
                // Download thread: a raw reply line while the opener waits; handed on.
                auto c = weak.lock();
                if (!c || c->dead) return;
                c->last_status = callbacks->PostStatus(weak, proc, user, line);
            };
        }
        options.on_metadata = [weak, callbacks](std::string_view block, std::uint64_t) {
            // Download thread: a new ICY metadata block; handed on.
            if (auto c = weak.lock(); c && !c->dead) callbacks->PostMeta(c, block);
        };
        int error = 0;
        http = HttpStream::Open(url, std::move(options), &error);
        if (!http) {
            if (ch->dead)
                error = Clock::now() >= deadline ? engine_error::kTimeout : engine_error::kCannotOpen;
            return result->Finish(error ? error : engine_error::kCannotOpen);
        }
        start_trace::Mark(start_trace::Stage::kReply);
        if (http->IsHls()) {
            hls = true;
            url = http->FinalUrl();
            format = "hls";
        } else {
            format = http->InputFormat();
            std::lock_guard lock(ch->tags_mutex);
            ch->tag_http = JoinTagList(http->HeaderLines());
            ch->tag_icy = JoinTagList(http->IcyHeaderLines());
            ch->buffer = http->Buffer();
        }
    }

    // Once open, a live stream may pause as long as it likes; before that the
    // open must finish within the time-out.
    std::atomic<bool> opening{true};
    auto expired = [&] { return ch->dead.load() || (opening && Clock::now() >= deadline); };
    core::DecoderInput input;
    input.format = format;
    input.interrupted = expired;
    if (hls) {
        input.url = url;
    } else {
        input.read = [buffer = ch->buffer, &expired](std::uint8_t* dst, int size) -> int {
            for (;;) {
                const auto r = buffer->Read(dst, static_cast<std::size_t>(size), 100ms);
                switch (r.state) {
                case DownloadBuffer::ReadState::kData:
                    return static_cast<int>(r.bytes);
                case DownloadBuffer::ReadState::kEnd:
                    return 0;
                case DownloadBuffer::ReadState::kStopped:
                    return -1;
                case DownloadBuffer::ReadState::kTimeout:
                    if (expired()) return -1;
                    break;
                }
            }
        };
    }
    core::FfmpegDecoder decoder;
    int rc = decoder.Open(std::move(input));
    if (rc != 0) {
        if (http) http->Stop();
        if (!ch->dead && Clock::now() >= deadline)
            rc = engine_error::kTimeout;
        else if (!ch->dead && http && http->Buffer()->Ended() && http->Buffer()->TotalWritten() == 0)
            rc = engine_error::kUnsupportedFormat;
        return result->Finish(rc);
    }
    opening = false;
    start_trace::Mark(start_trace::Stage::kOpened);
    ch->info.freq = core::kOutputRate;
    ch->info.chans = static_cast<DWORD>(decoder.SourceChannels());
    ch->info.flags = req.flags;
    ch->info.ctype = 0x10000u + static_cast<DWORD>(decoder.CodecId());
    ch->info.origres = static_cast<DWORD>(decoder.SourceBits());
    ch->info.filename = ch->url.c_str();
    if (format == "asf") {
        std::lock_guard lock(ch->tags_mutex);
        ch->tag_wma = JoinTagList(decoder.ContainerTags());
    }
    if (req.prebuf_percent > 0 && ch->buffer) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        ch->buffer->WaitForBuffered(ch->buffer->Capacity() * req.prebuf_percent / 100,
                                    std::max(left, std::chrono::milliseconds(0)));
    }
    result->Finish(0);

    // Titles carried in the stream itself (Ogg comments) reach the player as
    // ICY blocks do, unless the server sends ICY metadata of its own.
    const bool icy_metadata = http && http->Metaint() > 0;
    std::string title;
    auto publish_title = [&] {
        if (!icy_metadata && decoder.TakeTitleChange(title))
            callbacks->PostMeta(ch, "StreamTitle='" + title + "';");
    };
    publish_title();
    std::vector<float> pcm;
    pcm.reserve(16384);
    bool decoded_any = false;
    while (!ch->dead) {
        pcm.clear();
        const auto step = decoder.DecodeSome(pcm);
        if (step == core::FfmpegDecoder::Step::kEnd) break;
        if (!pcm.empty() && !decoded_any) {
            decoded_any = true;
            start_trace::Mark(start_trace::Stage::kFirstDecoded);
        }
        publish_title();
        std::size_t offset = 0;
        while (offset < pcm.size() && !ch->dead) {
            offset += ch->ring.Write(pcm.data() + offset, pcm.size() - offset);
            if (offset < pcm.size()) {
                // The mixer drains a block per 23 ms; it never signals, so poll.
                std::unique_lock lock(ch->wake_mutex);
                ch->wake.wait_for(lock, 20ms, [&] { return ch->dead.load(); });
            }
        }
    }
    ch->decoder_done = true;
    if (http) http->Stop();
}

} // namespace

void StartStreamThread(std::shared_ptr<Channel> ch, std::shared_ptr<OpenResult> result, OpenRequest req) {
    LiveThreads::Started();
    std::thread([ch = std::move(ch), result = std::move(result), req = std::move(req)]() mutable {
        RunStream(std::move(ch), std::move(result), std::move(req));
        LiveThreads::Ended();
    }).detach();
}

} // namespace lumaro::engine
