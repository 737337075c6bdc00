#pragma once
// Small helpers for the data tests: a scratch directory made current for the
// life of a test, and byte strings written as hex.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace lumaro::testing {

class ScratchDir {
public:
    ScratchDir() {
        char pattern[] = "/tmp/lumaro-test-XXXXXX";
        path_ = ::mkdtemp(pattern);
        old_ = std::filesystem::current_path();
        std::filesystem::current_path(path_);
    }
    ~ScratchDir() {
        std::filesystem::current_path(old_);
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_, old_;
};

inline std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s.push_back(static_cast<char>(v));
    return s;
}

} // namespace lumaro::testing
