#pragma once
// Running lumaro-catalogue as a user does, in a scratch directory of its own,
// and small helpers the tool tests share.

#include "data/scrambled_list_file.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>

namespace lumaro::testing {

struct ToolResult {
    int status;
    std::string out, err;
    // the last line of standard error, without its line break
    std::string LastErrorLine() const {
        std::string e = err;
        if (!e.empty() && e.back() == '\n') e.pop_back();
        return e.substr(e.rfind('\n') == std::string::npos ? 0 : e.rfind('\n') + 1);
    }
};

class CatalogueTool : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/lumaro-tool-XXXXXX";
        dir_ = ::mkdtemp(pattern);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(PathOf(name), std::ios::binary) << bytes;
    }

    // The tool with args as the shell splits them; standard input is empty.
    ToolResult Run(const std::string& args) const {
        const std::string errFile = PathOf("stderr.txt");
        const std::string command =
            std::string(CATALOGUE_TOOL) + " " + args + " 2>" + errFile + " </dev/null";
        ToolResult r{};
        FILE* pipe = ::popen(command.c_str(), "r");
        char buffer[65536];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            r.out.append(buffer, n);
        r.status = WEXITSTATUS(::pclose(pipe));
        r.err = ReadWholeFile(errFile);
        return r;
    }

    std::filesystem::path dir_;
};

// A failure as the tool reports it: status 1, nothing on standard output and
// one line on standard error that names the tool.
inline void ExpectCleanFailure(const ToolResult& r, const std::string& what) {
    EXPECT_EQ(r.status, 1) << what;
    EXPECT_TRUE(r.out.empty()) << what;
    ASSERT_FALSE(r.err.empty()) << what;
    EXPECT_EQ(r.LastErrorLine().rfind("lumaro-catalogue: ", 0), 0u) << what << ": " << r.err;
    EXPECT_EQ(r.err.back(), '\n') << what;
}

inline std::string Gzip(const std::string& plain) {
    z_stream zs{};
    deflateInit2(&zs, Z_BEST_SPEED, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&zs, plain.size()) + 64, '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.data()));
    zs.avail_in = static_cast<uInt>(plain.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return out;
}

} // namespace lumaro::testing
