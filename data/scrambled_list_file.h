#pragma once
// The scrambled list file: a list of text lines, encoded (UTF-16 with a
// byte-order mark, or opaque 8-bit), then XOR-ed byte by byte with one key.

#include "data/text_codec.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace lumaro {

// The key every caller passes.
inline constexpr unsigned char kListKey = 0x3D;

// Raised when a list file cannot be read or written; the list (or the file on
// disk, for a save) is left as it was.
class ListFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TScrambledListFile {
public:
    // File names are relative to the current (program) directory.
    static void LoadWideList(const std::string& fileName, WideList& list, unsigned char key);
    static void SaveWideList(const std::string& fileName, const WideList& list, unsigned char key);
    static void LoadByteList(const std::string& fileName, ByteList& list, unsigned char key);
    static void SaveByteList(const std::string& fileName, const ByteList& list, unsigned char key);

    // The codec on bytes already unscrambled, for callers and tests that hold
    // the plain form in memory.
    static WideList DecodeWide(std::string_view plain);
    static std::string EncodeWide(const WideList& list);
    static ByteList DecodeBytes(std::string_view plain);
    static std::string EncodeBytes(const ByteList& list);

    static void Scramble(std::string& bytes, unsigned char key);
};

// Whole-file helpers. WriteFileAtomically writes a temporary file beside the
// target, flushes it to disk and renames it over the target, so a failed
// write never leaves a truncated file behind. A missing folder on the way to
// the target is made first (mode 0700, as the desktop's base folders are).
std::string ReadWholeFile(const std::string& fileName);
void WriteFileAtomically(const std::string& fileName, std::string_view bytes);
bool FileExists(const std::string& fileName);

} // namespace lumaro
