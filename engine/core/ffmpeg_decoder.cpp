#include "engine/core/ffmpeg_decoder.h"

#include "engine/core/engine_errors.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <string_view>

namespace lumaro::engine::core {
namespace {

constexpr int kIoBufferSize = 4096;
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

int ReadPacket(void* opaque, std::uint8_t* buf, int size) {
    auto* input = static_cast<DecoderInput*>(opaque);
    const int got = input->read(buf, size);
    if (got > 0) return got;
    return got == 0 ? AVERROR_EOF : AVERROR_EXIT;
}

int Interrupt(void* opaque) {
    auto* input = static_cast<DecoderInput*>(opaque);
    return input->interrupted && input->interrupted() ? 1 : 0;
}

} // namespace

FfmpegDecoder::~FfmpegDecoder() {
    av_frame_free(&frame_);
    av_packet_free(&packet_);
    swr_free(&swr_);
    avcodec_free_context(&codec_);
    avformat_close_input(&format_);
    if (io_) {
        av_freep(&io_->buffer);
        avio_context_free(&io_);
    }
}

int FfmpegDecoder::Open(DecoderInput input) {
    input_ = std::move(input);
    format_ = avformat_alloc_context();
    packet_ = av_packet_alloc();
    frame_ = av_frame_alloc();
    if (!format_ || !packet_ || !frame_) return engine_error::kMemory;
    format_->interrupt_callback = {&Interrupt, &input_};
    if (input_.read) {
        auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferSize));
        io_ = buffer ? avio_alloc_context(buffer, kIoBufferSize, 0, &input_, &ReadPacket, nullptr, nullptr)
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
    const AVInputFormat* format =
        input_.format.empty() ? nullptr : av_find_input_format(input_.format.c_str());
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
    rc = avformat_find_stream_info(format_, nullptr);
    if (rc < 0 && rc != AVERROR_EOF)
        return rc == AVERROR_EXIT ? engine_error::kCannotOpen : engine_error::kUnsupportedFormat;
    stream_index_ = av_find_best_stream(format_, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
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
    if (source_channels_ <= 0)
        source_channels_ = codec_->ch_layout.nb_channels > 0 ? codec_->ch_layout.nb_channels : 2;
    source_rate_ = stream->codecpar->sample_rate;
    source_bits_ = stream->codecpar->bits_per_raw_sample;
    codec_id_ = static_cast<int>(stream->codecpar->codec_id);
    return engine_error::kOk;
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
        // a mono source is heard at full level on both sides
        if (in_layout.nb_channels == 1) av_opt_set_double(swr_, "center_mix_level", 1.0, 0);
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
