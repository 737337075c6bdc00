#include "engine/dsp/parametric_equalizer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lumaro::engine {

namespace {

bool InRange(float v, float lo, float hi) {
    return v >= lo && v <= hi;
} // false for NaN

// Coefficients are recomputed this often while a change glides.
constexpr int kRampChunk = 16;

} // namespace

ParametricEqualizer::ParametricEqualizer() : params_(ParamEqLimits::kDefaults) {
    prepare(44100.0, 2);
}

bool ParametricEqualizer::setParameters(const BASS_DX8_PARAMEQ& p) {
    using L = ParamEqLimits;
    if (!InRange(p.fCenter, L::kMinCenter, L::kMaxCenter) ||
        !InRange(p.fBandwidth, L::kMinBandwidth, L::kMaxBandwidth) ||
        !InRange(p.fGain, L::kMinGain, L::kMaxGain))
        return false;
    params_.store(p);
    return true;
}

void ParametricEqualizer::prepare(double sampleRate, int channels) {
    sampleRate_ = sampleRate;
    channels_ = std::max(1, channels);
    state_.assign(static_cast<size_t>(channels_), ChannelState{});
    rampTotal_ = std::max(1, static_cast<int>(std::lround(sampleRate_ * kParameterRampSeconds)));
    rampLeft_ = 0;
    fresh_ = true;
    seenStamp_ = 0;
    BASS_DX8_PARAMEQ p = params_.load();
    params_.loadIfChanged(p, seenStamp_);
    from_ = to_ = now_ = shapeOf(p);
    coeffs_ = design(now_);
}

void ParametricEqualizer::reset() {
    std::fill(state_.begin(), state_.end(), ChannelState{});
    fresh_ = true;
    if (rampLeft_ > 0) {
        rampLeft_ = 0;
        now_ = to_;
        coeffs_ = design(now_);
    }
}

ParametricEqualizer::Shape ParametricEqualizer::shapeOf(const BASS_DX8_PARAMEQ& p) const noexcept {
    const double center = std::min(static_cast<double>(p.fCenter), 0.45 * sampleRate_);
    return Shape{p.fGain, std::log2(center), p.fBandwidth / 12.0};
}

// Peaking EQ: H(s) = (s^2 + s(A/Q) + 1) / (s^2 + s/(A Q) + 1), bilinear
// transform with the bandwidth given in octaves between the -gain/2 points.
ParametricEqualizer::Coefficients ParametricEqualizer::design(const Shape& s) const noexcept {
    const double a = std::pow(10.0, s.gainDb / 40.0);
    const double w0 = 2.0 * std::numbers::pi * std::exp2(s.log2Center) / sampleRate_;
    const double sinW = std::sin(w0), cosW = std::cos(w0);
    const double alpha = sinW * std::sinh(std::numbers::ln2 / 2.0 * s.octaves * w0 / sinW);
    const double a0 = 1.0 + alpha / a;
    Coefficients c;
    c.b0 = (1.0 + alpha * a) / a0;
    c.b1 = (-2.0 * cosW) / a0;
    c.b2 = (1.0 - alpha * a) / a0;
    c.a1 = c.b1;
    c.a2 = (1.0 - alpha / a) / a0;
    return c;
}

void ParametricEqualizer::filter(float* interleaved, int frames, const Coefficients& c) noexcept {
    for (int ch = 0; ch < channels_; ++ch) {
        ChannelState s = state_[static_cast<size_t>(ch)];
        float* x = interleaved + ch;
        for (int i = 0; i < frames; ++i, x += channels_) {
            const double in = *x;
            double out = c.b0 * in + c.b1 * s.x1 + c.b2 * s.x2 - c.a1 * s.y1 - c.a2 * s.y2;
            if (std::fabs(out) < 1e-30) out = 0.0; // keep denormals out of the feedback path
            s.x2 = s.x1;
            s.x1 = in;
            s.y2 = s.y1;
            s.y1 = out;
            *x = static_cast<float>(out);
        }
        state_[static_cast<size_t>(ch)] = s;
    }
}

// A flat band passes the samples untouched but keeps the filter memory as a
// flat filter would have it, so a later change starts from the true history.
void ParametricEqualizer::bypass(const float* interleaved, int frames) noexcept {
    if (frames <= 0) return;
    for (int ch = 0; ch < channels_; ++ch) {
        ChannelState& s = state_[static_cast<size_t>(ch)];
        const double last = interleaved[(frames - 1) * channels_ + ch];
        const double before = frames >= 2 ? interleaved[(frames - 2) * channels_ + ch] : s.x1;
        s.x1 = s.y1 = last;
        s.x2 = s.y2 = before;
    }
}

void ParametricEqualizer::process(float* interleaved, int frames) noexcept {
    BASS_DX8_PARAMEQ p;
    if (params_.loadIfChanged(p, seenStamp_)) {
        from_ = fresh_ ? shapeOf(p) : now_;
        to_ = shapeOf(p);
        rampLeft_ = fresh_ ? 0 : rampTotal_;
        if (fresh_) {
            now_ = to_;
            coeffs_ = design(now_);
        }
    }
    fresh_ = false;
    int done = 0;
    while (rampLeft_ > 0 && done < frames) {
        const int n = std::min({kRampChunk, frames - done, rampLeft_});
        rampLeft_ -= n;
        const double t = 1.0 - static_cast<double>(rampLeft_) / rampTotal_;
        now_.gainDb = from_.gainDb + (to_.gainDb - from_.gainDb) * t;
        now_.log2Center = from_.log2Center + (to_.log2Center - from_.log2Center) * t;
        now_.octaves = from_.octaves + (to_.octaves - from_.octaves) * t;
        if (rampLeft_ == 0) now_ = to_;
        coeffs_ = design(now_);
        filter(interleaved + static_cast<size_t>(done) * channels_, n, coeffs_);
        done += n;
    }
    if (done == frames) return;
    float* rest = interleaved + static_cast<size_t>(done) * channels_;
    if (now_.gainDb == 0.0)
        bypass(rest, frames - done);
    else
        filter(rest, frames - done, coeffs_);
}

} // namespace lumaro::engine
