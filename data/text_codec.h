#pragma once
// Conversions between wide text (UTF-16, what the user sees) and 8-bit text.
// The program's 8-bit code page is UTF-8, so "ANSI" text is well-formed UTF-8.

#include <string>
#include <string_view>
#include <vector>

namespace lumaro {

using WideString = std::u16string;
using WideList = std::vector<std::u16string>;
using ByteList = std::vector<std::string>;

// Appends one code point (up to U+10FFFF; surrogate values as three bytes).
void AppendUtf8(std::string& out, char32_t cp);

// Each UTF-16 code unit encoded by itself (surrogates become two 3-byte
// sequences), so WideFromUtf8 gives back exactly the same code units.
std::string Utf8FromWide(std::u16string_view text);

// Lenient decoder: trusts lead bytes, never reads past the end; a sequence cut
// off by the end, or a value past U+7FFFFFFF, gives U+FFFD.
std::u16string WideFromUtf8(std::string_view text);

// Strict conversions for the 8-bit code page: surrogate pairs are joined,
// lone surrogates and malformed input become U+FFFD.
std::string AnsiFromWide(std::u16string_view text);
std::u16string WideFromAnsi(std::string_view text);

// Unicode simple lower-case mapping, code unit by code unit.
std::u16string LowerWide(std::u16string_view text);

// The search form: lower-cased, then Utf8FromWide.
std::string SearchForm(std::u16string_view text);

// ASCII-only upper-casing of 8-bit text.
std::string UpperAscii(std::string_view text);

} // namespace lumaro
