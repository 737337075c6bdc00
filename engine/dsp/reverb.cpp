#include "engine/dsp/reverb.h"

#include <algorithm>
#include <cmath>

namespace lumaro::engine {

namespace {

bool InRange(float v, float lo, float hi) {
    return v >= lo && v <= hi;
} // false for NaN

// Delay lengths in samples at 44.1 kHz: mutually prime-ish lengths of 25 to
// 37 ms for the combs and 5 to 13 ms for the diffusers; the right side's are
// longer by a few samples, which decorrelates the two tails.
constexpr int kCombLengths[Reverb::kCombs] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr int kAllPassLengths[Reverb::kAllPasses] = {556, 441, 341, 225};
constexpr int kStereoSpread = 23;
constexpr float kAllPassFeedback = 0.5f;
// The four diffusers raise the power of a noise-like signal by about 11.6 dB
// (measured); this takes it back out.
constexpr double kDiffuserCompensation = 0.263;

float DbToGain(float db) {
    return db <= -96.0f ? 0.0f : std::pow(10.0f, db / 20.0f);
}

// Loop gain per pass through a delay of `samples` for a 60 dB decay in `seconds`.
double LoopGain(double samples, double sampleRate, double seconds) {
    return std::pow(10.0, -3.0 * samples / (sampleRate * seconds));
}

float Flush(float v) {
    return std::fabs(v) < 1e-20f ? 0.0f : v;
}

} // namespace

Reverb::Reverb() : params_(ReverbLimits::kDefaults) {
    prepare(44100.0, 2);
}

bool Reverb::setParameters(const BASS_DX8_REVERB& p) {
    using L = ReverbLimits;
    if (!InRange(p.fInGain, L::kMinInGain, L::kMaxInGain) ||
        !InRange(p.fReverbMix, L::kMinReverbMix, L::kMaxReverbMix) ||
        !InRange(p.fReverbTime, L::kMinReverbTime, L::kMaxReverbTime) ||
        !InRange(p.fHighFreqRTRatio, L::kMinHighFreqRTRatio, L::kMaxHighFreqRTRatio))
        return false;
    params_.store(p);
    return true;
}

void Reverb::prepare(double sampleRate, int channels) {
    sampleRate_ = sampleRate;
    channels_ = std::max(1, channels);
    rampSamples_ = std::max(1, static_cast<int>(std::lround(sampleRate_ * kParameterRampSeconds)));
    const double scale = sampleRate_ / 44100.0;
    for (int side = 0; side < 2; ++side) {
        Tank& tank = tanks_[static_cast<size_t>(side)];
        for (int i = 0; i < kCombs; ++i) {
            const auto len = std::max<long>(1, std::lround((kCombLengths[i] + side * kStereoSpread) * scale));
            tank.combs[static_cast<size_t>(i)].line.assign(static_cast<size_t>(len), 0.0f);
        }
        for (int i = 0; i < kAllPasses; ++i) {
            const auto len =
                std::max<long>(1, std::lround((kAllPassLengths[i] + side * kStereoSpread) * scale));
            tank.allPasses[static_cast<size_t>(i)].line.assign(static_cast<size_t>(len), 0.0f);
        }
    }
    seenStamp_ = 0;
    BASS_DX8_REVERB p = params_.load();
    params_.loadIfChanged(p, seenStamp_);
    appliedTime_ = appliedRatio_ = -1.0f;
    applyShape(p, 0);
    inGain_.jumpTo(DbToGain(p.fInGain));
    mix_.jumpTo(DbToGain(p.fReverbMix));
    reset();
}

void Reverb::reset() {
    clearTank();
    fresh_ = true;
    inGain_.jumpTo(inGain_.target());
    mix_.jumpTo(mix_.target());
    tailScale_.jumpTo(tailScale_.target());
    while (shapeLeft_ > 0)
        stepShape();
}

void Reverb::clearTank() noexcept {
    for (Tank& tank : tanks_) {
        for (Comb& c : tank.combs) {
            std::fill(c.line.begin(), c.line.end(), 0.0f);
            c.pos = 0;
            c.store = 0.0f;
        }
        for (AllPass& a : tank.allPasses) {
            std::fill(a.line.begin(), a.line.end(), 0.0f);
            a.pos = 0;
        }
    }
    tankEmpty_ = true;
}

// Jot's absorbent comb: a one-pole low-pass in each loop makes high
// frequencies decay in ratio x the reverb time, and the tail is normalised
// to about the input's power.
void Reverb::applyShape(const BASS_DX8_REVERB& p, int glide) noexcept {
    if (p.fReverbTime == appliedTime_ && p.fHighFreqRTRatio == appliedRatio_) return;
    appliedTime_ = p.fReverbTime;
    appliedRatio_ = p.fHighFreqRTRatio;
    const double seconds = p.fReverbTime / 1000.0;
    double power = 0.0;
    for (Tank& tank : tanks_) {
        for (Comb& c : tank.combs) {
            const double len = static_cast<double>(c.line.size());
            const double low = LoopGain(len, sampleRate_, seconds);
            const double high = LoopGain(len, sampleRate_, seconds * p.fHighFreqRTRatio);
            c.feedbackTarget = static_cast<float>(low);
            c.dampTarget = low + high > 1e-12 ? static_cast<float>((low - high) / (low + high)) : 0.0f;
            if (glide <= 0) {
                c.feedback = c.feedbackTarget;
                c.damp = c.dampTarget;
            } else {
                c.feedbackStep = (c.feedbackTarget - c.feedback) / static_cast<float>(glide);
                c.dampStep = (c.dampTarget - c.damp) / static_cast<float>(glide);
            }
            power += 1.0 / (1.0 - low * low);
        }
    }
    // power counts both sides' combs; each side sums kCombs of them
    tailScale_.rampTo(static_cast<float>(kDiffuserCompensation / std::sqrt(power / 2.0)), glide);
    shapeLeft_ = std::max(0, glide);
}

// A new reverb time glides too: with the loop gains changed at once, each
// comb's output would step one delay later, when its line has turned over.
void Reverb::stepShape() noexcept {
    const bool last = --shapeLeft_ == 0;
    for (Tank& tank : tanks_) {
        for (Comb& c : tank.combs) {
            c.feedback = last ? c.feedbackTarget : c.feedback + c.feedbackStep;
            c.damp = last ? c.dampTarget : c.damp + c.dampStep;
        }
    }
}

float Reverb::runTank(Tank& tank, float input) noexcept {
    float out = 0.0f;
    for (Comb& c : tank.combs) {
        const float y = c.line[c.pos];
        c.store = Flush(y * (1.0f - c.damp) + c.store * c.damp);
        c.line[c.pos] = input + c.store * c.feedback;
        if (++c.pos == c.line.size()) c.pos = 0;
        out += y;
    }
    for (AllPass& a : tank.allPasses) {
        const float delayed = a.line[a.pos];
        a.line[a.pos] = Flush(out + delayed * kAllPassFeedback);
        if (++a.pos == a.line.size()) a.pos = 0;
        out = delayed - out;
    }
    return out;
}

void Reverb::process(float* interleaved, int frames) noexcept {
    BASS_DX8_REVERB p;
    if (params_.loadIfChanged(p, seenStamp_)) {
        applyShape(p, fresh_ ? 0 : rampSamples_);
        inGain_.rampTo(DbToGain(p.fInGain), fresh_ ? 0 : rampSamples_);
        mix_.rampTo(DbToGain(p.fReverbMix), fresh_ ? 0 : rampSamples_);
    }
    fresh_ = false;
    // With the mix at nothing the tank is skipped and emptied once, so a
    // later mix starts from silence rather than from an old tail.
    const bool tankOff = mix_.target() == 0.0f && !mix_.ramping();
    if (tankOff && !tankEmpty_) clearTank();
    const bool stereo = channels_ >= 2;
    for (int i = 0; i < frames; ++i) {
        float* frame = interleaved + static_cast<size_t>(i) * channels_;
        const float g = inGain_.next();
        const float m = mix_.next();
        if (tankOff) {
            if (g != 1.0f)
                for (int ch = 0; ch < channels_; ++ch)
                    frame[ch] *= g;
            continue;
        }
        tankEmpty_ = false;
        for (int ch = 0; ch < channels_; ++ch)
            frame[ch] *= g;
        const float in = stereo ? 0.5f * (frame[0] + frame[1]) : frame[0];
        if (shapeLeft_ > 0) stepShape();
        const float toTank = in * tailScale_.next();
        frame[0] += m * runTank(tanks_[0], toTank);
        if (stereo) frame[1] += m * runTank(tanks_[1], toTank);
    }
}

} // namespace lumaro::engine
