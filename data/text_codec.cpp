#include "data/text_codec.h"

#include <unicode/uchar.h>

namespace lumaro {

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string Utf8FromWide(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (char16_t c : text)
        AppendUtf8(out, c);
    return out;
}

std::u16string WideFromUtf8(std::string_view text) {
    // Offsets subtracted from the summed bytes, by sequence length 1..6.
    static constexpr uint32_t kOffsets[6] = {0x0, 0x3080, 0xE2080, 0x3C82080, 0xFA082080, 0x82082080};
    std::u16string out;
    out.reserve(text.size());
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char lead = p[i];
        size_t extra = 0;
        if (lead >= 0xFC)
            extra = 5;
        else if (lead >= 0xF8)
            extra = 4;
        else if (lead >= 0xF0)
            extra = 3;
        else if (lead >= 0xE0)
            extra = 2;
        else if (lead >= 0xC0)
            extra = 1;
        if (lead < 0x80 && extra == 0) {
            out.push_back(lead);
            ++i;
            continue;
        }
        if (i + extra >= n) {
            // cut off by the end of the text
            out.push_back(0xFFFD);
            break;
        }
        uint32_t value = 0;
        for (size_t k = 0; k < extra; ++k) {
            value += p[i + k];
            value <<= 6;
        }
        value += p[i + extra];
        value -= kOffsets[extra];
        i += extra + 1;
        if (value <= 0xFFFF) {
            out.push_back(static_cast<char16_t>(value));
        } else if (value <= 0x7FFFFFFF) {
            // Values past U+10FFFF do not fit a surrogate pair.
            if (value > 0x10FFFF) {
                out.push_back(0xFFFD);
                continue;
            }
            const uint32_t v = value - 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (v >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
        } else {
            out.push_back(0xFFFD);
        }
    }
    return out;
}

std::string AnsiFromWide(std::u16string_view text) {
    // Most station lines are plain ASCII: narrow them in one tight loop.
    const size_t n = text.size();
    size_t ascii = 0;
    while (ascii < n && text[ascii] < 0x80)
        ++ascii;
    std::string out(ascii, '\0');
    for (size_t i = 0; i < ascii; ++i)
        out[i] = static_cast<char>(text[i]);
    if (ascii == n) return out;
    // The rest into a buffer long enough for three bytes a unit, cut to size.
    out.resize(ascii + 3 * (n - ascii));
    char* o = out.data() + ascii;
    for (size_t i = ascii; i < n; ++i) {
        uint32_t cp = text[i];
        if (cp < 0x80) {
            *o++ = static_cast<char>(cp);
            continue;
        }
        if (cp < 0x800) {
            *o++ = static_cast<char>(0xC0 | (cp >> 6));
            *o++ = static_cast<char>(0x80 | (cp & 0x3F));
            continue;
        }
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            // a pair: four bytes for two units
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
            *o++ = static_cast<char>(0xF0 | (cp >> 18));
            *o++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            *o++ = static_cast<char>(0x80 | (cp & 0x3F));
            continue;
        }
        if (cp >= 0xD800 && cp <= 0xDFFF) cp = 0xFFFD;
        *o++ = static_cast<char>(0xE0 | (cp >> 12));
        *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *o++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    out.resize(static_cast<size_t>(o - out.data()));
    return out;
}

std::u16string WideFromAnsi(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char lead = p[i];
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        size_t extra;
        uint32_t cp, min;
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
            cp = lead & 0x1F;
            min = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            cp = lead & 0x0F;
            min = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            cp = lead & 0x07;
            min = 0x10000;
        } else {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        size_t k = 1;
        for (; k <= extra && i + k < n && (p[i + k] & 0xC0) == 0x80; ++k)
            cp = (cp << 6) | (p[i + k] & 0x3F);
        if (k <= extra || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            // malformed: replace what was consumed and resync at the next byte
            out.push_back(0xFFFD);
            i += k;
            continue;
        }
        i += k;
        if (cp < 0x10000) {
            out.push_back(static_cast<char16_t>(cp));
        } else {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        }
    }
    return out;
}

std::u16string LowerWide(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out) {
        if (c < 0x80) {
            if (c >= 'A' && c <= 'Z') c = static_cast<char16_t>(c + 32);
        } else if (c < 0xD800 || c > 0xDFFF) {
            const UChar32 lower = u_tolower(c);
            if (lower <= 0xFFFF) c = static_cast<char16_t>(lower);
        }
    }
    return out;
}

std::string SearchForm(std::u16string_view text) {
    return Utf8FromWide(LowerWide(text));
}

std::string UpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return out;
}

} // namespace lumaro
