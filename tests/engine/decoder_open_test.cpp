// Opening the decoder on a live byte stream: from the content type's format
// without a long probe, from the bytes when the content type is wrong, and
// with the source's codec, channels and rate known once it is open.
#include "engine/core/ffmpeg_decoder.h"
#include "tests/engine/engine_fixture.h"

extern "C" {
#include <libavcodec/codec_id.h>
}

#include <algorithm>

namespace lumaro::engine::test {
namespace {

// A 440 Hz tone at half scale, 2 s, encoded by ffmpeg with `encode` (codec,
// rate, container) on `channels` channels.
std::string MakeTone(int channels, const std::string& encode) {
    const std::string tone = "0.5*sin(2*PI*440*t)";
    const std::string exprs = channels == 1 ? tone : tone + "|" + tone;
    return Capture("ffmpeg -nostdin -loglevel error -f lavfi -i \"aevalsrc=exprs='" + exprs +
                   "':s=44100:d=2\" " + encode + " - 2>/dev/null");
}

// The bytes as the download buffer hands them over: in pieces, counted.
struct ByteFeed {
    std::string bytes;
    std::size_t at = 0;
    core::DecoderInput Input(const std::string& format) {
        core::DecoderInput input;
        input.format = format;
        input.read = [this](std::uint8_t* dst, int size) {
            const std::size_t n =
                std::min({static_cast<std::size_t>(size), bytes.size() - at, std::size_t{1400}});
            std::copy_n(bytes.data() + at, n, dst);
            at += n;
            return static_cast<int>(n);
        };
        return input;
    }
};

struct OpenCase {
    const char* what;
    int channels;
    const char* encode;
    std::size_t cut;  // bytes dropped from the front: joined in the middle of a frame
    const char* hint; // the format the content type names
    AVCodecID codec;
    int rate;
    std::size_t max_open_bytes; // bytes Open may read (0: not checked)
};

TEST(DecoderOpenTest, OpensWithTheSourceFormatWhateverTheContentTypeSays) {
    const OpenCase cases[] = {
        {"mp3 stereo", 2, "-c:a libmp3lame -b:a 128k -f mp3", 0, "mp3", AV_CODEC_ID_MP3, 44100, 4096},
        {"mp3 mono joined mid-frame", 1, "-c:a libmp3lame -b:a 128k -f mp3", 1001, "mp3", AV_CODEC_ID_MP3,
         44100, 4096},
        {"adts aac mono 32 kHz", 1, "-c:a aac -ar 32000 -b:a 48k -f adts", 333, "aac", AV_CODEC_ID_AAC, 32000,
         0},
        {"ogg vorbis", 2, "-c:a libvorbis -f ogg", 0, "ogg", AV_CODEC_ID_VORBIS, 44100, 0},
        {"ogg opus 48 kHz", 2, "-c:a libopus -ar 48000 -f ogg", 0, "ogg", AV_CODEC_ID_OPUS, 48000, 0},
        {"flac", 2, "-c:a flac -f flac", 0, "flac", AV_CODEC_ID_FLAC, 44100, 0},
        {"no content type", 2, "-c:a libmp3lame -b:a 128k -f mp3", 417, "", AV_CODEC_ID_MP3, 44100, 0},
        // content types that lie
        {"aac labelled audio/mpeg", 2, "-c:a aac -b:a 64k -f adts", 0, "mp3", AV_CODEC_ID_AAC, 44100, 0},
        {"aac labelled audio/mpeg, joined mid-frame", 1, "-c:a aac -b:a 64k -f adts", 77, "mp3",
         AV_CODEC_ID_AAC, 44100, 0},
        {"mp3 labelled audio/aac", 2, "-c:a libmp3lame -b:a 128k -f mp3", 999, "aac", AV_CODEC_ID_MP3, 44100,
         0},
        {"ogg vorbis labelled audio/mpeg", 1, "-c:a libvorbis -f ogg", 0, "mp3", AV_CODEC_ID_VORBIS, 44100,
         0},
        {"mp3 labelled audio/ogg", 2, "-c:a libmp3lame -b:a 128k -f mp3", 0, "ogg", AV_CODEC_ID_MP3, 44100,
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ByteFeed feed;
        feed.bytes = MakeTone(c.channels, c.encode);
        ASSERT_GT(feed.bytes.size(), c.cut + 4000);
        feed.bytes.erase(0, c.cut);
        core::FfmpegDecoder decoder;
        ASSERT_EQ(decoder.Open(feed.Input(c.hint)), 0);
        EXPECT_EQ(decoder.CodecId(), static_cast<int>(c.codec));
        EXPECT_EQ(decoder.SourceChannels(), c.channels);
        EXPECT_EQ(decoder.SourceRate(), c.rate);
        if (c.max_open_bytes) {
            EXPECT_LE(feed.at, c.max_open_bytes) << "read before the open returned";
        }

        // Every byte read while opening is heard: the tone from the start.
        std::vector<float> pcm;
        while (pcm.size() < 2 * 44100 && decoder.DecodeSome(pcm) != core::FfmpegDecoder::Step::kEnd) {
        }
        ASSERT_GE(pcm.size(), std::size_t{2 * 44100});
        const std::size_t first = FirstSound(pcm, 0.05f);
        ASSERT_LT(first, std::size_t{44100 / 4});
        for (int ch = 0; ch < 2; ++ch)
            EXPECT_NEAR(ToneAmplitude(pcm, ch, 440, first + 4410, 8820), 0.5, 0.08) << "channel " << ch;
    }
}

// Bytes that are no audio, whatever the content type names: a clear failure,
// after a bounded read.
TEST(DecoderOpenTest, BytesThatAreNoAudioFailToOpen) {
    std::string noise;
    for (unsigned i = 0; i < 200000; ++i) // unsigned: the sum wraps, as intended
        noise.push_back(static_cast<char>((i * 7919u + (i >> 5) * 104729u) & 0x7f));
    for (const char* hint : {"mp3", "aac", "ogg", ""}) {
        SCOPED_TRACE(hint);
        ByteFeed feed;
        feed.bytes = "<html><body>" + noise;
        core::FfmpegDecoder decoder;
        EXPECT_EQ(decoder.Open(feed.Input(hint)), 41);
    }
}

} // namespace
} // namespace lumaro::engine::test
