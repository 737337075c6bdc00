#pragma once
// Error codes that the network side reports. They are the engine's own error
// codes (the same numbers the engine's last-error call gives), so the engine
// passes them on unchanged.

namespace lumaro::engine::net_error {

inline constexpr int kOk = 0;
inline constexpr int kMemory = 1;
inline constexpr int kCannotOpen = 2;   // bad URL, HTTP error status, broken reply, redirect loop
inline constexpr int kCertificate = 10; // the server's TLS certificate was refused
inline constexpr int kIllegalParam = 20;
inline constexpr int kNoConnection = 32;      // host not found, connection refused
inline constexpr int kTimeout = 40;           // no complete reply within the time-out
inline constexpr int kUnsupportedFormat = 41; // reply is not audio (text/html, empty playlist, ...)
inline constexpr int kUnknown = -1;

} // namespace lumaro::engine::net_error
