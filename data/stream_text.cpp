#include "data/stream_text.h"

#include "data/text_codec.h"

#include <unicode/ucnv.h>
#include <unicode/ucsdet.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace lumaro {

namespace {

// Detection looks at no more than this many bytes; a title or name says
// what it is long before that.
constexpr size_t kDetectBytes = 4096;

// Length of the valid UTF-8 prefix of text (well-formed sequences, no
// surrogates or overlongs), whether the rest is only a sequence that the end
// of the text cut off, and whether the prefix holds a multi-byte sequence.
struct Utf8Check {
    size_t validPrefix = 0;
    bool cutAtEnd = false;
    bool multiByte = false;
    // A cut sequence counts as UTF-8 only with proof beyond its lead byte: a
    // lone high byte at the end is as likely a Latin-1 letter ("Caf\xE9").
    bool CutUtf8(size_t size) const { return cutAtEnd && (multiByte || size - validPrefix > 1); }
};

Utf8Check CheckUtf8(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    size_t i = 0;
    bool multiByte = false;
    while (i < n) {
        const unsigned char c = p[i];
        size_t extra = 0;
        unsigned char lo = 0x80, hi = 0xBF; // allowed range of the second byte
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            if (c == 0xE0) lo = 0xA0;
            if (c == 0xED) hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            if (c == 0xF0) lo = 0x90;
            if (c == 0xF4) hi = 0x8F;
        } else {
            return {i, false, multiByte};
        }
        for (size_t k = 1; k <= extra; ++k) {
            if (i + k >= n) return {i, true, multiByte};
            const unsigned char b = p[i + k];
            if (k == 1 ? (b < lo || b > hi) : (b < 0x80 || b > 0xBF)) return {i, false, multiByte};
        }
        i += extra + 1;
        multiByte = true;
    }
    return {n, false, multiByte};
}

bool IsCyrillicName(const char* name) {
    return std::strcmp(name, "windows-1251") == 0 || std::strcmp(name, "KOI8-R") == 0 ||
           std::strcmp(name, "ISO-8859-5") == 0;
}

// Windows-1251 keeps the lower-case letters at E0-FF and the capitals at
// C0-DF; KOI8-R the other way round. Running text is mostly lower case.
const char* CyrillicByCase(std::string_view bytes) {
    size_t upperHalf = 0, lowerHalf = 0;
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0xE0)
            ++upperHalf;
        else if (c >= 0xC0)
            ++lowerHalf;
    }
    return upperHalf >= lowerHalf ? "windows-1251" : "KOI8-R";
}

// Cyrillic text spells nearly every letter with a byte of C0-FF; Latin text
// only its accented ones.
bool MostlyHighLetters(std::string_view bytes) {
    size_t high = 0, ascii = 0;
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0xC0)
            ++high;
        else if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z')
            ++ascii;
    }
    return high > ascii;
}

const char* DetectCodePage(std::string_view bytes) {
    const std::string_view sample = bytes.substr(0, kDetectBytes);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UCharsetDetector, decltype(&ucsdet_close)> detector(ucsdet_open(&status), ucsdet_close);
    if (U_FAILURE(status)) return "windows-1252";
    ucsdet_setText(detector.get(), sample.data(), static_cast<int32_t>(sample.size()), &status);
    int32_t count = 0;
    const UCharsetMatch** matches = ucsdet_detectAll(detector.get(), &count, &status);
    if (U_FAILURE(status)) return "windows-1252";
    // best first: the first one of the code pages we take wins
    for (int32_t i = 0; i < count; ++i) {
        const char* name = ucsdet_getName(matches[i], &status);
        if (U_FAILURE(status) || !name) break;
        if (IsCyrillicName(name)) return MostlyHighLetters(sample) ? CyrillicByCase(sample) : "windows-1252";
        if (std::strcmp(name, "ISO-8859-1") == 0 || std::strcmp(name, "windows-1252") == 0)
            return "windows-1252";
    }
    // too short or too odd for the detector
    return MostlyHighLetters(sample) ? CyrillicByCase(sample) : "windows-1252";
}

std::u16string Decode(std::string_view bytes, const char* codePage) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, decltype(&ucnv_close)> converter(ucnv_open(codePage, &status), ucnv_close);
    std::u16string out;
    if (U_FAILURE(status)) {
        // no converter: every high byte is a character we cannot name
        for (const char ch : bytes)
            out.push_back(static_cast<unsigned char>(ch) < 0x80 ? static_cast<char16_t>(ch) : u'\uFFFD');
        return out;
    }
    // a single-byte code page never gives more code units than bytes
    out.resize(bytes.size());
    const int32_t length =
        ucnv_toUChars(converter.get(), reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                      bytes.data(), static_cast<int32_t>(bytes.size()), &status);
    out.resize(U_SUCCESS(status) || status == U_STRING_NOT_TERMINATED_WARNING ? static_cast<size_t>(length)
                                                                              : 0);
    // ICU gives the C1 control of the same value (or SUB) for a byte the
    // code page leaves undefined; none of these code pages means a C1 control
    for (size_t i = 0; i < out.size(); ++i) {
        if ((out[i] >= 0x80 && out[i] <= 0x9F) || (out[i] == u'\x1A' && bytes[i] != '\x1A'))
            out[i] = u'\uFFFD';
    }
    return out;
}

} // namespace

const char* StreamTextCharset(std::string_view bytes) {
    const Utf8Check check = CheckUtf8(bytes);
    if (check.validPrefix == bytes.size() || check.CutUtf8(bytes.size())) return "UTF-8";
    return DetectCodePage(bytes);
}

std::u16string WideFromStreamText(std::string_view bytes) {
    const Utf8Check check = CheckUtf8(bytes);
    if (check.validPrefix == bytes.size()) return WideFromUtf8(bytes);
    if (check.CutUtf8(bytes.size())) return WideFromUtf8(bytes.substr(0, check.validPrefix));
    return Decode(bytes, DetectCodePage(bytes));
}

} // namespace lumaro
