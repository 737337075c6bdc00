#pragma once
// Substring test over 8-bit text whose ASCII letters are already upper-cased
// on both sides: the inner loop of the free-text search.

#include <cstddef>
#include <string_view>

namespace lumaro {

// True when needle occurs in haystack, byte for byte. An empty needle occurs
// everywhere.
bool ContainsBytes(std::string_view haystack, std::string_view needle);

// ASCII a..z to A..Z in place; every other byte unchanged.
void UpperAsciiInPlace(char* text, size_t length);

} // namespace lumaro
