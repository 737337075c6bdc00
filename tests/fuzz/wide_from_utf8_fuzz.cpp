// WideFromUtf8 on arbitrary bytes never reads past its input (ASan checks the
// exact-size copy), and Utf8FromWide then WideFromUtf8 gives back any text.
// A stream's text in any encoding never gives more characters than bytes.
#include "data/stream_text.h"
#include "data/text_codec.h"

#include <cstdlib>
#include <memory>

using namespace lumaro;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // an exact-size heap copy, so one byte past the end is caught
    std::unique_ptr<char[]> copy(new char[size ? size : 1]);
    std::copy(data, data + size, copy.get());
    const std::u16string wide = WideFromUtf8(std::string_view(copy.get(), size));
    if (WideFromUtf8(Utf8FromWide(wide)) != wide) std::abort();
    (void)WideFromAnsi(std::string_view(copy.get(), size));
    (void)SearchForm(wide);
    if (WideFromStreamText(std::string_view(copy.get(), size)).size() > size) std::abort();
    return 0;
}
