#include "browse/byte_search.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lumaro {

bool ContainsBytes(std::string_view haystack, std::string_view needle) {
    const size_t n = haystack.size(), m = needle.size();
    if (m == 0) return true;
    if (m > n) return false;
    const char* hay = haystack.data();
    const char* nee = needle.data();
    if (m == 1) return std::memchr(hay, nee[0], n) != nullptr;
    size_t i = 0;
#if defined(__SSE2__)
    // Candidates are the places where both the first and the last byte of the
    // needle match; sixteen places are tried at once and only those go to memcmp.
    const __m128i first = _mm_set1_epi8(nee[0]);
    const __m128i last = _mm_set1_epi8(nee[m - 1]);
    for (; i + m - 1 + 16 <= n; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hay + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hay + i + m - 1));
        unsigned mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
        while (mask != 0) {
            const unsigned bit = static_cast<unsigned>(__builtin_ctz(mask));
            if (std::memcmp(hay + i + bit + 1, nee + 1, m - 2) == 0) return true;
            mask &= mask - 1;
        }
    }
#endif
    for (; i + m <= n; ++i) {
        if (hay[i] == nee[0] && hay[i + m - 1] == nee[m - 1] && std::memcmp(hay + i, nee, m) == 0) return true;
    }
    return false;
}

void UpperAsciiInPlace(char* text, size_t length) {
    size_t i = 0;
#if defined(__SSE2__)
    // sixteen bytes at a time: bytes of 128 and up compare as negative, so
    // only a..z fall inside the range
    const __m128i below = _mm_set1_epi8('a' - 1);
    const __m128i above = _mm_set1_epi8('z' + 1);
    const __m128i flip = _mm_set1_epi8(0x20);
    for (; i + 16 <= length; i += 16) {
        auto* at = reinterpret_cast<__m128i*>(text + i);
        const __m128i c = _mm_loadu_si128(at);
        const __m128i lower = _mm_and_si128(_mm_cmpgt_epi8(c, below), _mm_cmpgt_epi8(above, c));
        _mm_storeu_si128(at, _mm_sub_epi8(c, _mm_and_si128(lower, flip)));
    }
#endif
    for (; i < length; ++i) {
        const char c = text[i];
        if (c >= 'a' && c <= 'z') text[i] = static_cast<char>(c - ('a' - 'A'));
    }
}

} // namespace lumaro
