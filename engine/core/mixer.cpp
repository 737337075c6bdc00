#include "engine/core/mixer.h"

#include "engine/core/start_trace.h"

#include <algorithm>

namespace lumaro::engine {

void Mixer::Render(float* out, int frames) noexcept {
    // Output thread.
    while (frames > 0) {
        const int n = std::min(frames, kMaxFrames);
        MixBlock(out, n);
        out += n * 2;
        frames -= n;
    }
}

void Mixer::MixBlock(float* out, int frames) noexcept {
    // Output thread.
    std::fill(out, out + frames * 2, 0.0f);
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < mixing_.size();) {
        if (mixing_[i]->dead) {
            mixing_[i]->in_mix = false; // the engine still holds it: not destroyed here
            mixing_.erase(mixing_.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
    // Index loop: a DSP callback may add a channel (the list may grow) or free one.
    for (std::size_t i = 0; i < mixing_.size(); ++i)
        MixChannel(*mixing_[i], out, frames);
    for (int i = 0; i < frames * 2; ++i)
        out[i] = std::clamp(out[i], -1.0f, 1.0f);
    blocks_.fetch_add(1, std::memory_order_relaxed);
}

void Mixer::MixChannel(Channel& ch, float* out, int frames) noexcept {
    // Output thread, mutex_ held.
    if (ch.dead || !ch.playing) return;
    float* buf = scratch_.data();
    const std::size_t want = static_cast<std::size_t>(frames) * 2;
    const std::size_t got = ch.ring.Read(buf, want);
    if (got < want) {
        std::fill(buf + got, buf + want, 0.0f);
        if (ch.decoder_done) {
            if (got == 0) {
                ch.meter.reset();
                return;
            }
        } else {
            if (ch.sounded) underruns_.fetch_add(1, std::memory_order_relaxed);
            ch.stalled = true;
        }
    } else {
        ch.stalled = false;
    }
    if (got > 0 && !ch.sounded.exchange(true)) start_trace::Mark(start_trace::Stage::kFirstMixed);

    ch.chain.process(buf, frames);
    if (ch.dead) return; // freed from inside a DSP callback: silent at once
    // Recordings take the processed sound before volume and pan, so muting
    // the speakers never blanks a recording.
    for (const auto& e : ch.encoders)
        e.process->push(buf, frames);
    // The level shows what the stream carries after its shaping, so a muted
    // station still moves the meter and counts as sounding.
    ch.meter.process(buf, frames);
    ch.gain_pan.process(buf, frames);
    for (int i = 0; i < frames * 2; ++i)
        out[i] += buf[i];
}

bool Mixer::Play(const std::shared_ptr<Channel>& ch) {
    std::lock_guard lock(mutex_);
    if (ch->dead) return false;
    if (!ch->in_mix) {
        mixing_.push_back(ch);
        ch->in_mix = true;
    }
    ch->playing = true;
    return true;
}

void Mixer::Clear() {
    std::lock_guard lock(mutex_);
    for (auto& ch : mixing_)
        ch->in_mix = false;
    mixing_.clear();
}

bool Mixer::AddEncoder(Channel& ch, EncoderEntry entry) {
    std::lock_guard lock(mutex_);
    if (ch.dead) return false;
    ch.encoders.push_back(std::move(entry));
    return true;
}

std::vector<std::shared_ptr<EncoderProcess>> Mixer::TakeEncoders(Channel& ch, HENCODE only) {
    std::vector<std::shared_ptr<EncoderProcess>> taken;
    std::lock_guard lock(mutex_);
    std::erase_if(ch.encoders, [&](EncoderEntry& e) {
        if (only && e.handle != only) return false;
        taken.push_back(std::move(e.process));
        return true;
    });
    return taken;
}

void Mixer::ResetCounters() {
    underruns_ = 0;
    blocks_ = 0;
}

} // namespace lumaro::engine
