#pragma once
// The engine's error codes: the numbers its last-error call gives, used by
// every part of the engine (network, decoder, encoder) so that a failure
// passes up unchanged. The same values as the public BASS_ERROR_* names.

namespace lumaro::engine::engine_error {

inline constexpr int kOk = 0;
inline constexpr int kMemory = 1;
inline constexpr int kCannotOpen = 2;   // bad URL, HTTP error status, broken reply, redirect loop
inline constexpr int kDriver = 3;       // no usable sound output
inline constexpr int kHandle = 5;       // invalid or freed handle
inline constexpr int kInit = 8;         // the engine is not initialised
inline constexpr int kCertificate = 10; // the server's TLS certificate was refused
inline constexpr int kAlready = 14;
inline constexpr int kIllegalType = 19;
inline constexpr int kIllegalParam = 20;
inline constexpr int kDevice = 23;
inline constexpr int kNotPlaying = 24;
inline constexpr int kFrequency = 25;
inline constexpr int kNoConnection = 32; // host not found, connection refused
inline constexpr int kCannotCreate = 33; // a file or a program could not be created
inline constexpr int kNotAvailable = 37;
inline constexpr int kTimeout = 40;           // no complete reply within the time-out
inline constexpr int kUnsupportedFormat = 41; // reply is not audio (text/html, empty playlist, ...)
inline constexpr int kCodec = 44;             // no decoder for the stream's codec
inline constexpr int kUnknown = -1;

} // namespace lumaro::engine::engine_error
