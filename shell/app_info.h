#pragma once
// The program's name, version and the id the desktop knows it by (set by the
// build).

namespace lumaro {

inline constexpr const char* kAppName = "Lumaro Radio";
inline constexpr const char* kAppVersion = LUMARO_VERSION; // "1.2"
inline constexpr const char* kAppId = LUMARO_APP_ID;       // reverse-DNS, e.g. for "<id>.desktop"

} // namespace lumaro
