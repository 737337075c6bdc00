// Both variants of the list-file decoder on arbitrary plain bytes; whatever
// decodes must survive an encode/decode round trip unchanged.
#include "data/scrambled_list_file.h"

#include <cstdlib>

using namespace lumaro;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view plain(reinterpret_cast<const char*>(data), size);

    const WideList wide = TScrambledListFile::DecodeWide(plain);
    if (TScrambledListFile::DecodeWide(TScrambledListFile::EncodeWide(wide)) != wide) std::abort();

    const ByteList bytes = TScrambledListFile::DecodeBytes(plain);
    if (TScrambledListFile::DecodeBytes(TScrambledListFile::EncodeBytes(bytes)) != bytes) std::abort();

    std::string scrambled(plain);
    TScrambledListFile::Scramble(scrambled, kListKey);
    TScrambledListFile::Scramble(scrambled, kListKey);
    if (scrambled != plain) std::abort();
    return 0;
}
