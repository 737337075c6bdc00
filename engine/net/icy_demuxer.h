#pragma once
// Splits an ICY body into audio bytes and in-band metadata blocks. After every
// `metaint` audio bytes the server sends one length byte L, then L x 16 bytes
// of metadata text padded with NULs. Free of any I/O, so the fuzzer runs it.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace lumaro::engine {

class IcyDemuxer {
public:
    // Called with each run of audio bytes, in order, on the thread that calls Feed().
    using AudioSink = std::function<void(const char* data, std::size_t size)>;
    // Called with each new metadata block on the thread that calls Feed(): the
    // raw text without its NUL padding, e.g. "StreamTitle='A - B';StreamUrl='';".
    // audio_offset is the number of audio bytes delivered before the block, so
    // a caller may show the block when playback reaches that point.
    using MetadataSink = std::function<void(std::string_view block, std::uint64_t audio_offset)>;

    // metaint 0: the body is audio only. Any metaint is accepted.
    IcyDemuxer(std::uint64_t metaint, AudioSink audio, MetadataSink metadata);

    // Takes the next body bytes, in chunks of any size (0 included).
    // "New" means changed: empty blocks (length byte 0, or only NULs) and a
    // block equal to the last one reported are skipped, since servers repeat
    // the current block; every change of title is reported once, in order.
    void Feed(const char* data, std::size_t size);

    // End of the body. True when it ended inside a metadata block, which is
    // then dropped unreported.
    bool Finish();

    std::uint64_t AudioBytes() const { return audio_total_; }
    std::uint64_t Metaint() const { return metaint_; }
    // The last block reported; empty before the first one.
    const std::string& LastBlock() const { return last_block_; }

private:
    const std::uint64_t metaint_;
    AudioSink audio_;
    MetadataSink metadata_;
    std::uint64_t audio_left_;   // audio bytes before the next length byte
    bool in_block_ = false;      // between a length byte and the block's end
    std::size_t block_left_ = 0; // metadata bytes still to come in this block
    std::string block_;          // the block gathered so far
    std::string last_block_;
    std::uint64_t audio_total_ = 0;
};

// The icy-metaint header's value: decimal digits, surrounding blanks allowed.
// Anything else (empty, signs, junk, beyond 2^40) gives 0, i.e. no metadata.
std::uint64_t ParseMetaint(std::string_view value);

} // namespace lumaro::engine
