#pragma once
// Parameter records of the engine's two effect types, laid out field for
// field as callers exchange them through the effect get/set calls.

namespace lumaro::engine {

// Effect type 7: one peaking equaliser band.
struct BASS_DX8_PARAMEQ {
    float fCenter;    // centre frequency, Hz
    float fBandwidth; // width of the bell, semitones
    float fGain;      // boost (+) or cut (-) at the centre, dB
};

// Effect type 8: reverb.
struct BASS_DX8_REVERB {
    float fInGain;          // gain applied to the input before everything else, dB
    float fReverbMix;       // level of the reverberated signal added to the dry one, dB; -96 = none
    float fReverbTime;      // time for the tail to decay by 60 dB, ms
    float fHighFreqRTRatio; // decay time of high frequencies relative to fReverbTime
};

// Accepted ranges (inclusive) and the values of a fresh effect. A record with
// a field outside its range, or NaN, is refused as a whole.
struct ParamEqLimits {
    static constexpr float kMinCenter = 80.0f, kMaxCenter = 16000.0f;
    static constexpr float kMinBandwidth = 1.0f, kMaxBandwidth = 36.0f;
    static constexpr float kMinGain = -15.0f, kMaxGain = 15.0f;
    static constexpr BASS_DX8_PARAMEQ kDefaults{8000.0f, 12.0f, 0.0f};
};

struct ReverbLimits {
    static constexpr float kMinInGain = -96.0f, kMaxInGain = 0.0f;
    static constexpr float kMinReverbMix = -96.0f, kMaxReverbMix = 0.0f;
    static constexpr float kMinReverbTime = 0.001f, kMaxReverbTime = 3000.0f;
    static constexpr float kMinHighFreqRTRatio = 0.001f, kMaxHighFreqRTRatio = 0.999f;
    static constexpr BASS_DX8_REVERB kDefaults{0.0f, 0.0f, 1000.0f, 0.001f};
};

} // namespace lumaro::engine
