#pragma once
// Text as a server in another code page would send it: the bytes of a UTF-16
// text in codePage ("windows-1251", "KOI8-R"), through ICU's converter. The
// suites that use it link ICU through the data library.

#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <algorithm>
#include <string>

namespace lumaro::test_support {

inline std::string Encoded(const std::u16string& text, const char* codePage) {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(codePage, &status);
    EXPECT_TRUE(U_SUCCESS(status)) << codePage;
    std::string out(text.size() * 4 + 4, '\0');
    const int32_t n = ucnv_fromUChars(converter, out.data(), static_cast<int32_t>(out.size()),
                                      reinterpret_cast<const UChar*>(text.data()),
                                      static_cast<int32_t>(text.size()), &status);
    ucnv_close(converter);
    EXPECT_TRUE(U_SUCCESS(status)) << codePage;
    out.resize(static_cast<size_t>(std::max(n, 0)));
    return out;
}

} // namespace lumaro::test_support
