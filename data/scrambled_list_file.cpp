#include "data/scrambled_list_file.h"

#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace lumaro {

namespace {

bool IsWideBreak(char16_t c) {
    return (c >= 0x0A && c <= 0x0D) || c == 0x2028 || c == 0x2029;
}

// Splits at break characters; CR LF is one break, a final break adds no line.
template <typename Text, typename List, typename IsBreak>
void SplitLines(const Text& text, List& out, IsBreak isBreak) {
    const size_t n = text.size();
    size_t start = 0;
    size_t i = 0;
    while (i < n) {
        if (!isBreak(text[i])) {
            ++i;
            continue;
        }
        out.emplace_back(text.substr(start, i - start));
        if (text[i] == 0x0D && i + 1 < n && text[i + 1] == 0x0A) ++i;
        ++i;
        start = i;
    }
    if (start < n) out.emplace_back(text.substr(start));
}

// Splits n UTF-16 code units held as bytes in the given order into lines;
// the text ends at the first unit 0000.
template <bool Little> void SplitUnits(const unsigned char* units, size_t n, WideList& list) {
    const auto unit = [units](size_t i) -> char16_t {
        return Little ? static_cast<char16_t>(units[2 * i] | (units[2 * i + 1] << 8))
                      : static_cast<char16_t>(units[2 * i + 1] | (units[2 * i] << 8));
    };
    size_t start = 0, i = 0;
    const auto emit = [&](size_t end) {
        std::u16string& line = list.emplace_back(end - start, u'\0');
        if constexpr (Little && std::endian::native == std::endian::little) {
            std::memcpy(line.data(), units + 2 * start, 2 * (end - start));
        } else {
            for (size_t k = start; k < end; ++k)
                line[k - start] = unit(k);
        }
    };
    list.reserve(n / 64);
    for (; i < n; ++i) {
        const char16_t c = unit(i);
        if (c > 0x0D && c != 0x2028 && c != 0x2029) continue;
        if (c == 0) break;
        if (!IsWideBreak(c)) continue;
        emit(i);
        if (c == 0x0D && i + 1 < n && unit(i + 1) == 0x0A) ++i;
        start = i + 1;
    }
    if (start < i) emit(i);
}

std::string ErrnoText(const std::string& what, const std::string& fileName) {
    return what + " " + fileName + ": " + std::strerror(errno);
}

} // namespace

void TScrambledListFile::Scramble(std::string& bytes, unsigned char key) {
    // eight bytes at a time: the catalogue is megabytes long
    const uint64_t keys = 0x0101010101010101ULL * key;
    size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        word ^= keys;
        std::memcpy(bytes.data() + i, &word, 8);
    }
    for (; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(static_cast<unsigned char>(bytes[i]) ^ key);
}

WideList TScrambledListFile::DecodeWide(std::string_view plain) {
    WideList list;
    const auto* p = reinterpret_cast<const unsigned char*>(plain.data());
    const bool little = plain.size() >= 2 && p[0] == 0xFF && p[1] == 0xFE;
    const bool big = plain.size() >= 2 && p[0] == 0xFE && p[1] == 0xFF;
    if (!little && !big) {
        const std::u16string text = WideFromAnsi(plain);
        SplitLines(std::u16string_view(text).substr(0, text.find(u'\0')), list, IsWideBreak);
        return list;
    }
    // Lines are cut straight out of the byte buffer: no decoded copy of the
    // whole text is made, which matters for the catalogue's megabytes.
    const unsigned char* units = p + 2;
    const size_t n = (plain.size() - 2) / 2; // an odd last byte is ignored
    if (little)
        SplitUnits<true>(units, n, list);
    else
        SplitUnits<false>(units, n, list);
    return list;
}

std::string TScrambledListFile::EncodeWide(const WideList& list) {
    size_t units = 0;
    for (const auto& line : list)
        units += line.size() + 2;
    std::string out;
    out.reserve(2 + 2 * units);
    out.push_back(static_cast<char>(0xFF));
    out.push_back(static_cast<char>(0xFE));
    auto put = [&out](char16_t c) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    };
    for (const auto& line : list) {
        for (char16_t c : line)
            put(c);
        put(u'\r');
        put(u'\n');
    }
    return out;
}

ByteList TScrambledListFile::DecodeBytes(std::string_view plain) {
    ByteList list;
    const size_t nul = plain.find('\0');
    if (nul != std::string_view::npos) plain = plain.substr(0, nul);
    SplitLines(plain, list, [](char c) { return c == '\r' || c == '\n'; });
    return list;
}

std::string TScrambledListFile::EncodeBytes(const ByteList& list) {
    size_t size = 0;
    for (const auto& line : list)
        size += line.size() + 2;
    std::string out;
    out.reserve(size);
    for (const auto& line : list) {
        out += line;
        out += "\r\n";
    }
    return out;
}

void TScrambledListFile::LoadWideList(const std::string& fileName, WideList& list, unsigned char key) {
    std::string bytes = ReadWholeFile(fileName);
    Scramble(bytes, key);
    list = DecodeWide(bytes);
}

void TScrambledListFile::SaveWideList(const std::string& fileName, const WideList& list, unsigned char key) {
    std::string bytes = EncodeWide(list);
    Scramble(bytes, key);
    WriteFileAtomically(fileName, bytes);
}

void TScrambledListFile::LoadByteList(const std::string& fileName, ByteList& list, unsigned char key) {
    std::string bytes = ReadWholeFile(fileName);
    Scramble(bytes, key);
    list = DecodeBytes(bytes);
}

void TScrambledListFile::SaveByteList(const std::string& fileName, const ByteList& list, unsigned char key) {
    std::string bytes = EncodeBytes(list);
    Scramble(bytes, key);
    WriteFileAtomically(fileName, bytes);
}

std::string ReadWholeFile(const std::string& fileName) {
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw ListFileError(ErrnoText("cannot open", fileName));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw ListFileError("not a regular file: " + fileName);
    }
    std::string bytes;
    bytes.resize(static_cast<size_t>(st.st_size));
    size_t got = 0;
    for (;;) {
        if (got == bytes.size()) bytes.resize(bytes.size() + 65536); // the file grew meanwhile
        const ssize_t r = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (r < 0) {
            if (errno == EINTR) continue;
            const std::string message = ErrnoText("cannot read", fileName);
            ::close(fd);
            throw ListFileError(message);
        }
        if (r == 0) break;
        got += static_cast<size_t>(r);
    }
    ::close(fd);
    bytes.resize(got);
    return bytes;
}

namespace {

// Makes the missing folders above fileName, each 0700; false when none was
// missing or one could not be made.
bool MakeParentFolders(const std::string& fileName) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path parent = fs::path(fileName).parent_path();
    if (parent.empty() || fs::exists(parent, error)) return false;
    MakeParentFolders(parent.string());
    if (::mkdir(parent.c_str(), 0700) != 0 && errno != EEXIST) return false;
    return true;
}

} // namespace

void WriteFileAtomically(const std::string& fileName, std::string_view bytes) {
    const std::string temp = fileName + ".tmp" + std::to_string(::getpid());
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 && errno == ENOENT && MakeParentFolders(fileName))
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw ListFileError(ErrnoText("cannot create", temp));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (w < 0) {
            if (errno == EINTR) continue;
            const std::string message = ErrnoText("cannot write", temp);
            ::close(fd);
            ::unlink(temp.c_str());
            throw ListFileError(message);
        }
        done += static_cast<size_t>(w);
    }
    const bool synced = ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!synced || !closed) {
        const std::string message = ErrnoText("cannot flush", temp);
        ::unlink(temp.c_str());
        throw ListFileError(message);
    }
    if (::rename(temp.c_str(), fileName.c_str()) != 0) {
        const std::string message = ErrnoText("cannot replace", fileName);
        ::unlink(temp.c_str());
        throw ListFileError(message);
    }
}

bool FileExists(const std::string& fileName) {
    struct stat st {};
    return ::stat(fileName.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace lumaro
