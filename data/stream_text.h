#pragma once
// Text that a stream's server sends (ICY names, titles): often UTF-8, but many
// servers send Windows-1252 / Latin-1 or a Cyrillic code page instead.

#include <string>
#include <string_view>

namespace lumaro {

// Valid UTF-8 is decoded as UTF-8 (a sequence cut off at the very end is
// dropped); anything else in the code page that charset detection finds among
// Windows-1252, Windows-1251 and KOI8-R, Windows-1252 when it finds none.
// Bytes the code page leaves undefined become U+FFFD.
std::u16string WideFromStreamText(std::string_view bytes);

// The code page WideFromStreamText decodes bytes with: "UTF-8",
// "windows-1252", "windows-1251" or "KOI8-R".
const char* StreamTextCharset(std::string_view bytes);

} // namespace lumaro
