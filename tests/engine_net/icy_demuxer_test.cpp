// The ICY de-interleaver on bodies built like a server builds them, fed in
// many chunkings: audio must come out byte-exact and each changed block once.
#include "engine/net/icy_demuxer.h"
#include "tests/engine_net/test_server.h"

#include <gtest/gtest.h>

using lumaro::engine::IcyDemuxer;
using lumaro::engine::ParseMetaint;
using lumaro::testing::BuildIcyBody;
using lumaro::testing::PatternBytes;

namespace {

struct Output {
    std::string audio;
    std::vector<std::string> blocks;
    std::vector<std::uint64_t> offsets;
};

Output Demux(std::uint64_t metaint, std::string_view body, std::size_t chunk, bool* cut = nullptr) {
    Output out;
    IcyDemuxer demuxer(
        metaint, [&](const char* d, std::size_t n) { out.audio.append(d, n); },
        [&](std::string_view block, std::uint64_t offset) {
            out.blocks.emplace_back(block);
            out.offsets.push_back(offset);
        });
    for (std::size_t pos = 0; pos < body.size(); pos += chunk)
        demuxer.Feed(body.data() + pos, std::min(chunk, body.size() - pos));
    const bool ended_inside = demuxer.Finish();
    if (cut) *cut = ended_inside;
    return out;
}

struct Case {
    const char* quirk;
    std::size_t metaint;
    std::size_t audio_size;
    std::vector<std::string> blocks; // as the server sends them
    std::vector<std::string> expected;
};

const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        {"titles change at each point",
         100,
         450,
         {"StreamTitle='A - B';StreamUrl='';", "StreamTitle='C - D';", "StreamTitle='E';",
          "StreamTitle='F';"},
         {"StreamTitle='A - B';StreamUrl='';", "StreamTitle='C - D';", "StreamTitle='E';",
          "StreamTitle='F';"}},
        {"empty blocks between titles are skipped",
         64,
         64 * 6,
         {"StreamTitle='A';", "", "", "StreamTitle='B';", "", ""},
         {"StreamTitle='A';", "StreamTitle='B';"}},
        {"a repeated block is reported once; a title that comes back is new again",
         50,
         300,
         {"StreamTitle='A';", "StreamTitle='A';", "StreamTitle='B';", "StreamTitle='A';", "StreamTitle='A';"},
         {"StreamTitle='A';", "StreamTitle='B';", "StreamTitle='A';"}},
        {"text of exactly 16 bytes has no padding",
         40,
         120,
         {"StreamTitle='AB'", "StreamTitle='CD'"},
         {"StreamTitle='AB'", "StreamTitle='CD'"}},
        {"the longest block, 255 x 16 bytes",
         30,
         90,
         {"StreamTitle='" + std::string(4080 - 15, 'x') + "';"},
         {"StreamTitle='" + std::string(4080 - 15, 'x') + "';"}},
        {"metaint 1: a length byte after every audio byte",
         1,
         20,
         {"StreamTitle='one';", "", "StreamTitle='two';"},
         {"StreamTitle='one';", "StreamTitle='two';"}},
        {"no metadata point reached", 1000, 999, {"StreamTitle='never';"}, {}},
        {"UTF-8 and quotes inside the text pass untouched",
         77,
         200,
         {"StreamTitle='Ünïcode \"x\" ; ok';"},
         {"StreamTitle='Ünïcode \"x\" ; ok';"}},
    };
    return cases;
}

TEST(IcyDemuxerTest, SplitsAudioAndMetadataAtEveryChunking) {
    for (const Case& c : Cases()) {
        const std::string audio = PatternBytes(c.audio_size, static_cast<unsigned>(c.metaint));
        const std::string body = BuildIcyBody(c.metaint, audio, c.blocks);
        for (std::size_t chunk :
             {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{7}, std::size_t{16},
              std::size_t{17}, std::size_t{63}, c.metaint, c.metaint + 1, body.size()}) {
            SCOPED_TRACE(std::string(c.quirk) + ", chunk " + std::to_string(chunk));
            const Output out = Demux(c.metaint, body, std::max<std::size_t>(chunk, 1));
            EXPECT_EQ(out.audio, audio);
            EXPECT_EQ(out.blocks, c.expected);
        }
    }
}

TEST(IcyDemuxerTest, ReportsTheAudioOffsetOfEachBlock) {
    const std::string audio = PatternBytes(500);
    const Output out = Demux(100, BuildIcyBody(100, audio, {"StreamTitle='A';", "", "StreamTitle='B';"}), 33);
    EXPECT_EQ(out.offsets, (std::vector<std::uint64_t>{100, 300}));
}

TEST(IcyDemuxerTest, MetaintZeroPassesEverythingAsAudio) {
    const std::string body = "\x02StreamTitle='x';" + PatternBytes(1000);
    const Output out = Demux(0, body, 10);
    EXPECT_EQ(out.audio, body);
    EXPECT_TRUE(out.blocks.empty());
}

TEST(IcyDemuxerTest, EnormousMetaintIsAudioOnly) {
    const std::string body = PatternBytes(5000);
    const Output out = Demux(std::uint64_t{1} << 40, body, 999);
    EXPECT_EQ(out.audio, body);
    EXPECT_TRUE(out.blocks.empty());
}

TEST(IcyDemuxerTest, BlockCutByTheEndOfStreamIsDroppedCleanly) {
    // Length byte 0xFF claims 4080 bytes; only 20 follow before the end.
    std::string body = PatternBytes(10) + "\xFF" + "StreamTitle='cut';..";
    bool cut = false;
    const Output out = Demux(10, body, 4, &cut);
    EXPECT_TRUE(cut);
    EXPECT_EQ(out.audio, body.substr(0, 10));
    EXPECT_TRUE(out.blocks.empty());
}

TEST(IcyDemuxerTest, BlockThatWaitsForLaterChunksIsReportedWhenComplete) {
    const std::string body = BuildIcyBody(8, PatternBytes(16), {"StreamTitle='late';"});
    Output out;
    IcyDemuxer demuxer(
        8, [&](const char* d, std::size_t n) { out.audio.append(d, n); },
        [&](std::string_view b, std::uint64_t) { out.blocks.emplace_back(b); });
    demuxer.Feed(body.data(), 20); // 8 audio, length byte, 11 of 32 metadata bytes
    EXPECT_TRUE(out.blocks.empty());
    demuxer.Feed(body.data() + 20, body.size() - 20);
    EXPECT_EQ(out.blocks, std::vector<std::string>{"StreamTitle='late';"});
    EXPECT_EQ(out.audio.size(), 16u);
}

TEST(IcyDemuxerTest, ParsesMetaintValues) {
    const std::vector<std::pair<std::string, std::uint64_t>> cases = {
        {"16000", 16000},
        {" 8192 ", 8192},
        {"0", 0},
        {"", 0},
        {"-1", 0},
        {"12ab", 0},
        {"+5", 0},
        {"99999999999999999999", 0},
        {"1099511627776", 1099511627776},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ParseMetaint(text), value) << "'" << text << "'";
}

} // namespace
