#pragma once
// Demuxes and decodes one audio stream with FFmpeg and delivers it as 44100 Hz
// interleaved float stereo. Either FFmpeg reads the URL itself (HLS) or it
// reads through a caller-supplied function (the download buffer). Every call
// runs on the stream's own thread.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct AVFormatContext;
struct AVInputFormat;
struct AVCodecContext;
struct AVIOContext;
struct SwrContext;
struct AVPacket;
struct AVFrame;

namespace lumaro::engine::core {

inline constexpr int kOutputRate = 44100;
inline constexpr int kOutputChannels = 2;

struct DecoderInput {
    // FFmpeg opens this URL itself when read is empty.
    std::string url;
    // Custom input: fills up to size bytes; returns bytes (> 0), 0 at end of
    // stream, -1 when the stream was abandoned.
    std::function<int(std::uint8_t* dst, int size)> read;
    // FFmpeg input format name ("mp3", "aac", "ogg", "hls"); empty = probe.
    // For a custom input it is a hint (from the content type): the first
    // bytes overrule it when they plainly are another format, and a stream
    // the named format cannot decode is opened again with a full probe.
    std::string format;
    // Polled while FFmpeg waits: true makes it give up at once.
    std::function<bool()> interrupted;
};

class FfmpegDecoder {
public:
    FfmpegDecoder() = default;
    ~FfmpegDecoder();
    FfmpegDecoder(const FfmpegDecoder&) = delete;
    FfmpegDecoder& operator=(const FfmpegDecoder&) = delete;

    // Opens the input and the first audio stream's decoder. Returns
    // engine_error::kOk or an engine error code: kUnsupportedFormat (no audio,
    // unknown format), kCodec (no decoder), kCannotOpen (other open failures).
    // The caller maps an interruption itself.
    int Open(DecoderInput input);

    enum class Step { kAudio, kNothing, kEnd };
    // Reads one packet and appends its decoded samples (stereo, float) to out.
    Step DecodeSome(std::vector<float>& out);

    int SourceChannels() const { return source_channels_; }
    int SourceRate() const { return source_rate_; }
    int SourceBits() const { return source_bits_; }
    int CodecId() const { return codec_id_; }
    // Metadata FFmpeg found in the container (e.g. WMA/ASF, Ogg comments),
    // "key=value" strings.
    std::vector<std::string> ContainerTags() const;
    // The title an Ogg or HLS stream carries in its own tags (Vorbis/Opus
    // comments, a new set at each link of a chained Ogg stream; HLS ID3 at
    // its start): "Artist - Title", or
    // whichever of the two is there. True, with `title` set, when it differs
    // from the one last returned; false while there is none or no change.
    bool TakeTitleChange(std::string& title);

private:
    // One attempt at opening with `format` (null: FFmpeg probes at length).
    int OpenWith(const AVInputFormat* format);
    // Decodes up to the first frame, so its layout is known without a long
    // analysis; the samples are kept for the first DecodeSome.
    int DecodeFirstFrame();
    void Close();
    bool Resample(AVFrame* frame, std::vector<float>& out);
    static int ReadPacket(void* self, std::uint8_t* buf, int size);

    DecoderInput input_;
    // Custom input: the bytes read while opening, so a second attempt with a
    // full probe starts again from the first byte; replayed up to replay_at_.
    std::vector<std::uint8_t> opening_bytes_;
    std::size_t replay_at_ = 0;
    bool keep_bytes_ = false;
    bool abandoned_ = false; // the read function reported the stream abandoned
    std::uint64_t bytes_read_ = 0;
    std::vector<float> first_samples_; // decoded while opening, not yet delivered
    AVFormatContext* format_ = nullptr;
    AVIOContext* io_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    SwrContext* swr_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    int stream_index_ = -1;
    int source_channels_ = 0;
    int source_rate_ = 0;
    int source_bits_ = 0;
    int codec_id_ = 0;
    bool tags_changed_ = true;    // FFmpeg reported new tags since the last look
    bool looked_at_tags_ = false; // TakeTitleChange has read the tags once
    std::string title_;           // last title returned by TakeTitleChange
    // input layout the resampler was built for
    int swr_format_ = -1, swr_rate_ = 0;
    std::uint64_t swr_layout_mask_ = 0;
    int swr_channels_ = 0;
};

} // namespace lumaro::engine::core
