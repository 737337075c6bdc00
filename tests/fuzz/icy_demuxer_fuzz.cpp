// The ICY de-interleaver on hostile bodies: the first bytes choose metaint
// and how the rest is cut into chunks. Audio must come out as exactly the
// bytes between metadata blocks; a fed-whole run must agree with the chunked one.
#include "engine/net/icy_demuxer.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using lumaro::engine::IcyDemuxer;

namespace {

struct Result {
    std::string audio;
    std::vector<std::string> blocks;
    bool cut = false;
};

Result Run(std::uint64_t metaint, const char* data, std::size_t size,
           const std::vector<std::size_t>& chunks) {
    Result r;
    IcyDemuxer d(
        metaint, [&](const char* p, std::size_t n) { r.audio.append(p, n); },
        [&](std::string_view block, std::uint64_t offset) {
            if (block.empty() || block.size() > 4080 || offset != r.audio.size()) std::abort();
            if (block.back() == '\0') std::abort();
            if (!r.blocks.empty() && r.blocks.back() == block) std::abort();
            r.blocks.emplace_back(block);
        });
    std::size_t pos = 0, i = 0;
    while (pos < size) {
        const std::size_t n = chunks.empty() ? size : std::min(size - pos, chunks[i++ % chunks.size()]);
        d.Feed(data + pos, n);
        pos += n;
    }
    d.Feed(data, 0);
    r.cut = d.Finish();
    if (d.AudioBytes() != r.audio.size()) std::abort();
    return r;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    // Byte 0..1: metaint (0 = none, 0xFFFF = enormous); byte 2..3: chunk pattern seeds.
    std::uint64_t metaint = static_cast<std::uint64_t>(data[0]) | static_cast<std::uint64_t>(data[1]) << 8;
    if (metaint == 0xFFFF) metaint = std::uint64_t{1} << 40;
    const std::vector<std::size_t> chunks = {std::size_t{1} + data[2] % 17, std::size_t{1} + data[3],
                                             std::size_t{1}};
    const char* body = reinterpret_cast<const char*>(data + 4);
    const std::size_t body_size = size - 4;

    const Result whole = Run(metaint, body, body_size, {});
    const Result chunked = Run(metaint, body, body_size, chunks);
    if (whole.audio != chunked.audio || whole.blocks != chunked.blocks || whole.cut != chunked.cut)
        std::abort();
    if (metaint == 0 && whole.audio.size() != body_size) std::abort();
    if (whole.audio.size() > body_size) std::abort();
    return 0;
}
