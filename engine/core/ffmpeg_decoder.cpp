#include "engine/core/ffmpeg_decoder.h"

#include "engine/core/engine_errors.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <string_view>

namespace lumaro::engine::core {
namespace {

constexpr int kIoBufferSize = 4096;
// First bytes looked at before opening: a few frames of the usual formats.
constexpr int kHeadBytes = 2048;
// Probe score at which the bytes overrule the content type: several frames
// in a row (FFmpeg's formats score 25 or more only then).
constexpr int kSureScore = AVPROBE_SCORE_EXTENSION / 2;
// Read without one decoded frame before a named format counts as wrong.
constexpr std::uint64_t kFirstFrameBytes = 16 * 1024;
constexpr int kFirstFramePackets = 500;
// Bytes kept while opening for a second attempt; beyond, none is made.
constexpr std::size_t kMaxOpeningBytes = 256 * 1024;
// Longest in-stream title passed on, in bytes; comments may be megabytes.
constexpr std::size_t kMaxTitleBytes = 1000;

std::string Tag(const AVDictionary* dict, const char* key) {
    const AVDictionaryEntry* e = av_dict_get(dict, key, nullptr, 0); // key case ignored
    return e && e->value ? e->value : "";
}

// One line of at most kMaxTitleBytes, cut on a UTF-8 character boundary.
std::string CleanTitle(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
    if (text.size() > kMaxTitleBytes) {
        std::size_t cut = kMaxTitleBytes;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
            --cut;
        text.resize(cut);
    }
    return text;
}

int Interrupt(void* opaque) {
    auto* input = static_cast<DecoderInput*>(opaque);
    return input->interrupted && input->interrupted() ? 1 : 0;
}

} // namespace

FfmpegDecoder::~FfmpegDecoder() {
    Close();
}

void FfmpegDecoder::Close() {
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    swr_free(&swr_);
    avcodec_free_context(&codec_);
    avformat_close_input(&format_);
    if (io_) {
        av_freep(&io_->buffer);
        avio_context_free(&io_);
    }
    stream_index_ = -1;
    swr_format_ = -1;
    first_samples_.clear();
}

int FfmpegDecoder::ReadPacket(void* self, std::uint8_t* buf, int size) {
    auto* d = static_cast<FfmpegDecoder*>(self);
    if (d->replay_at_ < d->opening_bytes_.size()) {
        const std::size_t n =
            std::min<std::size_t>(static_cast<std::size_t>(size), d->opening_bytes_.size() - d->replay_at_);
        std::copy_n(d->opening_bytes_.data() + d->replay_at_, n, buf);
        d->replay_at_ += n;
        if (d->replay_at_ == d->opening_bytes_.size() && !d->keep_bytes_) {
            d->opening_bytes_ = {}; // replayed in full after the open: no longer needed
            d->replay_at_ = 0;
        }
        return static_cast<int>(n);
    }
    if (d->abandoned_) return AVERROR_EXIT;
    const int got = d->input_.read(buf, size);
    if (got < 0) {
        d->abandoned_ = true;
        return AVERROR_EXIT;
    }
    if (got == 0) return AVERROR_EOF;
    d->bytes_read_ += static_cast<std::uint64_t>(got);
    if (d->keep_bytes_) {
        if (d->opening_bytes_.size() + static_cast<std::size_t>(got) <= kMaxOpeningBytes) {
            d->opening_bytes_.insert(d->opening_bytes_.end(), buf, buf + got);
            d->replay_at_ = d->opening_bytes_.size();
        } else {
            d->keep_bytes_ = false; // too much to start over from: no second attempt
        }
    }
    return got;
}

int FfmpegDecoder::Open(DecoderInput input) {
    input_ = std::move(input);
    const AVInputFormat* format =
        input_.format.empty() ? nullptr : av_find_input_format(input_.format.c_str());
    if (!input_.read) return OpenWith(format);

    // The content type names the format, but servers mislabel: the first
    // bytes decide where they plainly say something else.
    keep_bytes_ = true;
    std::vector<std::uint8_t> head(kHeadBytes + AVPROBE_PADDING_SIZE, 0);
    int have = 0;
    while (have < kHeadBytes) {
        const int got = ReadPacket(this, head.data() + have, kHeadBytes - have);
        if (got == AVERROR_EXIT) return engine_error::kCannotOpen;
        if (got <= 0) break;
        have += got;
    }
    if (have == 0) return engine_error::kUnsupportedFormat;
    AVProbeData probe{};
    probe.filename = "";
    probe.buf = head.data();
    probe.buf_size = have;
    int score = 0;
    const AVInputFormat* seen = av_probe_input_format3(&probe, 1, &score);
    if (seen && score >= kSureScore && seen != format) format = seen;
    replay_at_ = 0;

    int rc = OpenWith(format);
    // A named format that cannot decode the bytes: start over and let FFmpeg
    // look at them at length.
    const bool interrupted = input_.interrupted && input_.interrupted();
    if (rc != engine_error::kOk && rc != engine_error::kMemory && format && !abandoned_ && !interrupted &&
        keep_bytes_) {
        Close();
        replay_at_ = 0;
        rc = OpenWith(nullptr);
    }
    keep_bytes_ = false;
    if (abandoned_ && rc != engine_error::kOk) rc = engine_error::kCannotOpen;
    // What is still to be replayed stays; the rest is no longer needed.
    if (replay_at_ >= opening_bytes_.size()) {
        opening_bytes_.clear();
        opening_bytes_.shrink_to_fit();
        replay_at_ = 0;
    }
    return rc;
}

int FfmpegDecoder::OpenWith(const AVInputFormat* format) {
    format_ = avformat_alloc_context();
    if (!packet_) packet_ = av_packet_alloc();
    if (!frame_) frame_ = av_frame_alloc();
    if (!format_ || !packet_ || !frame_) return engine_error::kMemory;
    format_->interrupt_callback = {&Interrupt, &input_};
    if (input_.read) {
        auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferSize));
        io_ = buffer ? avio_alloc_context(buffer, kIoBufferSize, 0, this, &FfmpegDecoder::ReadPacket, nullptr,
                                          nullptr)
                     : nullptr;
        if (!io_) {
            av_free(buffer);
            return engine_error::kMemory;
        }
        io_->seekable = 0;
        format_->pb = io_;
        format_->flags |= AVFMT_FLAG_CUSTOM_IO;
    }
    // A live stream has no header to read: a named format and small probes keep
    // the first sound close to the connect.
    AVDictionary* options = nullptr;
    av_dict_set(&options, "probesize", format ? "8192" : "65536", 0);
    av_dict_set(&options, "analyzeduration", "300000", 0);
    av_dict_set(&options, "fpsprobesize", "0", 0);
    // FFmpeg's own reads (HLS playlists and segments) stay on the network.
    if (!input_.read) av_dict_set(&options, "protocol_whitelist", "http,https,tcp,tls,crypto", 0);
    const char* url = input_.read ? "" : input_.url.c_str();
    int rc = avformat_open_input(&format_, url, format, &options);
    av_dict_free(&options);
    if (rc < 0) {
        // avformat_open_input frees the context on failure
        format_ = nullptr;
        // Our own input is connected already: whatever FFmpeg cannot read in it is not audio.
        if (input_.read || rc == AVERROR_INVALIDDATA) return engine_error::kUnsupportedFormat;
        if (rc == AVERROR_HTTP_NOT_FOUND || rc == AVERROR_HTTP_FORBIDDEN || rc == AVERROR_HTTP_BAD_REQUEST ||
            rc == AVERROR_HTTP_OTHER_4XX || rc == AVERROR_HTTP_SERVER_ERROR)
            return engine_error::kCannotOpen;
        if (rc == AVERROR(ECONNREFUSED) || rc == AVERROR(EHOSTUNREACH) || rc == AVERROR(ENETUNREACH))
            return engine_error::kNoConnection;
        if (rc == AVERROR(ETIMEDOUT)) return engine_error::kTimeout;
        return rc == AVERROR_EOF ? engine_error::kUnsupportedFormat : engine_error::kCannotOpen;
    }
    // A named format whose header already tells the codec needs no analysis:
    // the first decoded frame tells the rest. Formats that find their streams
    // only while reading (HLS, MPEG-TS) are analysed as before.
    bool quick = format && input_.read && !(format_->ctx_flags & AVFMTCTX_NOHEADER);
    if (quick) {
        // (av_find_best_stream passes over streams whose rate is not known yet)
        int header_stream = -1;
        for (unsigned i = 0; i < format_->nb_streams && header_stream < 0; ++i) {
            const AVCodecParameters* par = format_->streams[i]->codecpar;
            if (par->codec_type == AVMEDIA_TYPE_AUDIO && par->codec_id != AV_CODEC_ID_NONE)
                header_stream = static_cast<int>(i);
        }
        quick = header_stream >= 0;
        stream_index_ = header_stream;
    }
    if (!quick) {
        rc = avformat_find_stream_info(format_, nullptr);
        if (rc < 0 && rc != AVERROR_EOF)
            return rc == AVERROR_EXIT ? engine_error::kCannotOpen : engine_error::kUnsupportedFormat;
    }
    if (!quick) stream_index_ = av_find_best_stream(format_, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (stream_index_ < 0) return engine_error::kUnsupportedFormat;
    const AVStream* stream = format_->streams[stream_index_];
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec) return engine_error::kCodec;
    codec_ = avcodec_alloc_context3(codec);
    if (!codec_) return engine_error::kMemory;
    if (avcodec_parameters_to_context(codec_, stream->codecpar) < 0) return engine_error::kCodec;
    if (avcodec_open2(codec_, codec, nullptr) < 0) return engine_error::kCodec;
    for (unsigned i = 0; i < format_->nb_streams; ++i)
        if (static_cast<int>(i) != stream_index_) format_->streams[i]->discard = AVDISCARD_ALL;
    source_channels_ = stream->codecpar->ch_layout.nb_channels;
    source_rate_ = stream->codecpar->sample_rate;
    source_bits_ = stream->codecpar->bits_per_raw_sample;
    codec_id_ = static_cast<int>(stream->codecpar->codec_id);
    if (quick) {
        rc = DecodeFirstFrame();
        if (rc != engine_error::kOk) return rc;
    }
    if (source_channels_ <= 0)
        source_channels_ = codec_->ch_layout.nb_channels > 0 ? codec_->ch_layout.nb_channels : 2;
    return engine_error::kOk;
}

int FfmpegDecoder::DecodeFirstFrame() {
    const std::uint64_t start = bytes_read_;
    for (int packets = 0; packets < kFirstFramePackets && bytes_read_ - start <= kFirstFrameBytes;
         ++packets) {
        const int rc = av_read_frame(format_, packet_);
        if (rc == AVERROR(EAGAIN)) continue;
        if (rc < 0) {
            if (abandoned_) return engine_error::kCannotOpen;
            // a short body: what the decoder holds is all there is
            avcodec_send_packet(codec_, nullptr);
        } else if (packet_->stream_index != stream_index_) {
            av_packet_unref(packet_);
            continue;
        } else {
            avcodec_send_packet(codec_, packet_);
            av_packet_unref(packet_);
        }
        bool decoded = false;
        while (avcodec_receive_frame(codec_, frame_) == 0) {
            if (!decoded && frame_->nb_samples > 0) {
                decoded = true;
                source_channels_ = frame_->ch_layout.nb_channels;
                source_rate_ = frame_->sample_rate;
                if (codec_->bits_per_raw_sample > 0) source_bits_ = codec_->bits_per_raw_sample;
            }
            Resample(frame_, first_samples_);
            av_frame_unref(frame_);
        }
        if (decoded) return engine_error::kOk;
        if (rc < 0) return engine_error::kUnsupportedFormat;
    }
    return engine_error::kUnsupportedFormat; // many bytes and not one frame: not this format
}

std::vector<std::string> FfmpegDecoder::ContainerTags() const {
    std::vector<std::string> tags;
    if (!format_) return tags;
    const AVDictionaryEntry* e = nullptr;
    while ((e = av_dict_get(format_->metadata, "", e, AV_DICT_IGNORE_SUFFIX)))
        tags.push_back(std::string(e->key) + "=" + e->value);
    return tags;
}

bool FfmpegDecoder::Resample(AVFrame* frame, std::vector<float>& out) {
    const std::uint64_t mask =
        frame->ch_layout.order == AV_CHANNEL_ORDER_NATIVE ? frame->ch_layout.u.mask : 0;
    if (!swr_ || frame->format != swr_format_ || frame->sample_rate != swr_rate_ ||
        frame->ch_layout.nb_channels != swr_channels_ || mask != swr_layout_mask_) {
        swr_free(&swr_);
        AVChannelLayout in_layout;
        if (av_channel_layout_check(&frame->ch_layout) && frame->ch_layout.order != AV_CHANNEL_ORDER_UNSPEC)
            av_channel_layout_copy(&in_layout, &frame->ch_layout);
        else
            av_channel_layout_default(&in_layout,
                                      frame->ch_layout.nb_channels > 0 ? frame->ch_layout.nb_channels : 2);
        AVChannelLayout out_layout = AV_CHANNEL_LAYOUT_STEREO;
        if (swr_alloc_set_opts2(&swr_, &out_layout, AV_SAMPLE_FMT_FLT, kOutputRate, &in_layout,
                                static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0,
                                nullptr) < 0) {
            av_channel_layout_uninit(&in_layout);
            return false;
        }
        // A mono source is heard at full level on both sides (FFmpeg's own
        // mono-to-stereo matrix lowers it by 3 dB, whatever the centre level).
        if (in_layout.nb_channels == 1) {
            const double both[2] = {1.0, 1.0}; // left and right from the one input channel
            swr_set_matrix(swr_, both, 1);
        }
        av_channel_layout_uninit(&in_layout);
        if (swr_init(swr_) < 0) {
            swr_free(&swr_);
            return false;
        }
        swr_format_ = frame->format;
        swr_rate_ = frame->sample_rate;
        swr_channels_ = frame->ch_layout.nb_channels;
        swr_layout_mask_ = mask;
    }
    const int capacity = swr_get_out_samples(swr_, frame->nb_samples);
    if (capacity <= 0) return true;
    const std::size_t old = out.size();
    out.resize(old + static_cast<std::size_t>(capacity) * kOutputChannels);
    std::uint8_t* dst = reinterpret_cast<std::uint8_t*>(out.data() + old);
    const int got = swr_convert(swr_, &dst, capacity, const_cast<const std::uint8_t**>(frame->extended_data),
                                frame->nb_samples);
    out.resize(old + static_cast<std::size_t>(got > 0 ? got : 0) * kOutputChannels);
    return true;
}

bool FfmpegDecoder::TakeTitleChange(std::string& title) {
    if (!format_ || stream_index_ < 0 || !tags_changed_) return false;
    tags_changed_ = false;
    // Only streams whose tags name what is playing now: Ogg comments, HLS ID3.
    // A file's header tags (MP3 ID3, ASF) describe the file, not the station.
    const std::string_view demuxer = format_->iformat ? format_->iformat->name : "";
    if (demuxer != "ogg" && demuxer != "hls") return false;
    AVStream* stream = format_->streams[stream_index_];
    std::string artist = Tag(stream->metadata, "artist");
    std::string name = Tag(stream->metadata, "title");
    // The container's tags stand in only at the start: they are never renewed.
    if (artist.empty() && name.empty() && !looked_at_tags_) {
        artist = Tag(format_->metadata, "artist");
        name = Tag(format_->metadata, "title");
    }
    looked_at_tags_ = true;
    // Some demuxers (Ogg Opus) add a new link's comments to the old ones, so
    // an artist the new link lacks would stay: start each link afresh.
    av_dict_free(&stream->metadata);
    const std::string now = CleanTitle(!artist.empty() && !name.empty() ? artist + " - " + name
                                       : name.empty()                   ? artist
                                                                        : name);
    if (now.empty() || now == title_) return false;
    title_ = now;
    title = now;
    return true;
}

FfmpegDecoder::Step FfmpegDecoder::DecodeSome(std::vector<float>& out) {
    if (!first_samples_.empty()) {
        out.insert(out.end(), first_samples_.begin(), first_samples_.end());
        first_samples_.clear();
        return Step::kAudio;
    }
    const int rc = av_read_frame(format_, packet_);
    // New comments (a chained Ogg link, a comment packet) flag the stream or
    // the container; the title is rebuilt only then.
    if (rc >= 0) {
        AVStream* stream = format_->streams[stream_index_];
        if ((stream->event_flags & AVSTREAM_EVENT_FLAG_METADATA_UPDATED) ||
            (format_->event_flags & AVFMT_EVENT_FLAG_METADATA_UPDATED) ||
            av_packet_get_side_data(packet_, AV_PKT_DATA_METADATA_UPDATE, nullptr)) {
            stream->event_flags &= ~AVSTREAM_EVENT_FLAG_METADATA_UPDATED;
            format_->event_flags &= ~AVFMT_EVENT_FLAG_METADATA_UPDATED;
            tags_changed_ = true;
        }
    }
    if (rc < 0) {
        if (rc == AVERROR(EAGAIN)) return Step::kNothing;
        // drain what the decoder still holds
        avcodec_send_packet(codec_, nullptr);
        while (avcodec_receive_frame(codec_, frame_) == 0) {
            Resample(frame_, out);
            av_frame_unref(frame_);
        }
        return Step::kEnd;
    }
    if (packet_->stream_index != stream_index_) {
        av_packet_unref(packet_);
        return Step::kNothing;
    }
    // A broken packet of a live stream is skipped; the next one decodes again.
    const int sent = avcodec_send_packet(codec_, packet_);
    av_packet_unref(packet_);
    if (sent < 0 && sent != AVERROR(EAGAIN)) return Step::kNothing;
    bool any = false;
    while (avcodec_receive_frame(codec_, frame_) == 0) {
        any = Resample(frame_, out) || any;
        av_frame_unref(frame_);
    }
    return any ? Step::kAudio : Step::kNothing;
}

} // namespace lumaro::engine::core
