#include "engine/net/icy_demuxer.h"

#include <algorithm>

namespace lumaro::engine {

IcyDemuxer::IcyDemuxer(std::uint64_t metaint, AudioSink audio, MetadataSink metadata)
    : metaint_(metaint), audio_(std::move(audio)), metadata_(std::move(metadata)), audio_left_(metaint) {}

void IcyDemuxer::Feed(const char* data, std::size_t size) {
    if (size == 0) return;
    if (metaint_ == 0) {
        audio_total_ += size;
        if (audio_) audio_(data, size);
        return;
    }
    while (size > 0) {
        if (!in_block_ && audio_left_ > 0) {
            const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(audio_left_, size));
            audio_total_ += n;
            audio_left_ -= n;
            if (audio_) audio_(data, n);
            data += n;
            size -= n;
            continue;
        }
        if (!in_block_) {
            // The length byte, in units of 16 bytes.
            block_left_ = static_cast<std::size_t>(static_cast<unsigned char>(*data)) * 16;
            ++data;
            --size;
            block_.clear();
            in_block_ = true;
        }
        const std::size_t n = std::min(block_left_, size);
        block_.append(data, n);
        data += n;
        size -= n;
        block_left_ -= n;
        if (block_left_ > 0) continue; // the rest comes with a later chunk

        in_block_ = false;
        audio_left_ = metaint_;
        const std::size_t end = block_.find_last_not_of('\0');
        block_.resize(end == std::string::npos ? 0 : end + 1);
        if (block_.empty() || block_ == last_block_) continue;
        last_block_ = block_;
        if (metadata_) metadata_(last_block_, audio_total_);
    }
}

bool IcyDemuxer::Finish() {
    const bool cut = in_block_;
    in_block_ = false;
    block_.clear();
    return cut;
}

std::uint64_t ParseMetaint(std::string_view value) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!value.empty() && blank(value.front()))
        value.remove_prefix(1);
    while (!value.empty() && blank(value.back()))
        value.remove_suffix(1);
    if (value.empty()) return 0;
    std::uint64_t n = 0;
    for (char c : value) {
        if (c < '0' || c > '9') return 0;
        n = n * 10 + static_cast<std::uint64_t>(c - '0');
        if (n > (std::uint64_t{1} << 40)) return 0;
    }
    return n;
}

} // namespace lumaro::engine
