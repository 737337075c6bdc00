// The download ring between the download thread and the decoder.
#include "engine/net/download_buffer.h"
#include "tests/engine_net/test_server.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

using lumaro::engine::DownloadBuffer;
using lumaro::testing::PatternBytes;
using namespace std::chrono_literals;
using State = DownloadBuffer::ReadState;

namespace {

TEST(DownloadBufferTest, WrapsAroundWithoutLosingOrReorderingBytes) {
    DownloadBuffer buffer(10);
    const std::string data = PatternBytes(1000);
    std::string out;
    std::size_t written = 0;
    const std::size_t writes[] = {7, 3, 9, 1, 10, 4};
    const std::size_t reads[] = {5, 10, 2, 8, 3};
    for (int step = 0; written < data.size() || buffer.Buffered() > 0; ++step) {
        const std::size_t w = std::min({writes[step % 6], data.size() - written, 10 - buffer.Buffered()});
        ASSERT_EQ(buffer.Write(data.data() + written, w), w);
        written += w;
        char tmp[16];
        const auto r = buffer.Read(tmp, reads[step % 5], 0ms);
        out.append(tmp, r.bytes);
    }
    EXPECT_EQ(out, data);
    EXPECT_EQ(buffer.TotalWritten(), data.size());
}

TEST(DownloadBufferTest, FullBufferHoldsTheWriterUntilTheReaderDrains) {
    DownloadBuffer buffer(1024);
    const std::string data = PatternBytes(1 << 20, 7);
    auto writer = std::async(std::launch::async, [&] {
        std::size_t pos = 0, step = 1;
        while (pos < data.size()) {
            const std::size_t n = std::min(step, data.size() - pos);
            if (buffer.Write(data.data() + pos, n) != n) return false;
            pos += n;
            step = step * 7 % 3001 + 1;
        }
        buffer.SetEnd();
        return true;
    });
    std::string out;
    char tmp[777];
    for (;;) {
        const auto r = buffer.Read(tmp, sizeof tmp, 10s);
        if (r.state == State::kEnd) break;
        ASSERT_EQ(r.state, State::kData);
        EXPECT_LE(buffer.Buffered(), buffer.Capacity());
        out.append(tmp, r.bytes);
    }
    EXPECT_TRUE(writer.get());
    EXPECT_EQ(out, data);
    EXPECT_EQ(buffer.EndError(), 0);
}

TEST(DownloadBufferTest, ReadReportsTimeoutThenDataThenEnd) {
    DownloadBuffer buffer(64);
    char tmp[64];
    EXPECT_EQ(buffer.Read(tmp, sizeof tmp, 20ms).state, State::kTimeout);
    buffer.Write("abc", 3);
    buffer.SetEnd(40);
    const auto r = buffer.Read(tmp, sizeof tmp, 1s);
    EXPECT_EQ(r.state, State::kData);
    EXPECT_EQ(std::string(tmp, r.bytes), "abc");
    EXPECT_EQ(buffer.Read(tmp, sizeof tmp, 1s).state, State::kEnd);
    EXPECT_EQ(buffer.EndError(), 40);
}

TEST(DownloadBufferTest, StopWakesABlockedReaderAndABlockedWriter) {
    DownloadBuffer buffer(4);
    auto reader = std::async(std::launch::async, [&] {
        char tmp[4];
        return buffer.Read(tmp, sizeof tmp, 60s).state;
    });
    DownloadBuffer full(4);
    full.Write("1234", 4);
    auto writer = std::async(std::launch::async, [&] { return full.Write("5678", 4); });
    // Neither can finish on its own within a minute.
    EXPECT_EQ(reader.wait_for(50ms), std::future_status::timeout);
    buffer.Stop();
    full.Stop();
    EXPECT_EQ(reader.get(), State::kStopped);
    EXPECT_EQ(writer.get(), 0u);
}

TEST(DownloadBufferTest, PeekLeavesBytesInPlaceAndWaitForBufferedWakesOnData) {
    DownloadBuffer buffer(8);
    auto waiter = std::async(std::launch::async, [&] { return buffer.WaitForBuffered(6, 60s); });
    buffer.Write("hello", 5);
    EXPECT_EQ(waiter.wait_for(30ms), std::future_status::timeout);
    buffer.Write("!!", 2);
    EXPECT_TRUE(waiter.get());
    char tmp[8];
    EXPECT_EQ(std::string(tmp, buffer.Peek(tmp, 3)), "hel");
    EXPECT_EQ(buffer.Buffered(), 7u);
    const auto r = buffer.Read(tmp, sizeof tmp, 0ms);
    EXPECT_EQ(std::string(tmp, r.bytes), "hello!!");
    // Asking for more than the capacity waits for a full buffer only.
    buffer.Write("12345678", 8);
    EXPECT_TRUE(buffer.WaitForBuffered(100, 1s));
}

} // namespace
