#include "platform/capture_feed.h"
#include "platform/line_pacer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace vexa {
namespace {

using std::chrono::milliseconds;

std::vector<std::uint8_t> Bytes(std::size_t count, std::uint8_t value = 0x55) {
    return std::vector<std::uint8_t>(count, value);
}

TEST(LinePacer, CarriesTenBitsPerByteAtItsBaud) {
    for (const int baud : {4800, 57600, 115200}) {
        LinePacer pacer(baud);
        ASSERT_TRUE(pacer.enqueue(Bytes(static_cast<std::size_t>(baud / 10))));
        std::size_t sent = 0;
        for (int step = 0; step < 100; ++step) sent += pacer.advance(milliseconds(9)).size();
        EXPECT_NEAR(static_cast<double>(sent), baud / 10 * 0.9, 1.0) << baud;
        sent += pacer.advance(milliseconds(100)).size();
        EXPECT_EQ(sent, static_cast<std::size_t>(baud / 10));
    }
}

TEST(LinePacer, AnIdleLineBanksNoTime) {
    LinePacer pacer(4800);
    EXPECT_TRUE(pacer.advance(std::chrono::seconds(10)).empty());
    ASSERT_TRUE(pacer.enqueue(Bytes(100)));
    EXPECT_EQ(pacer.advance(milliseconds(100)).size(), 48u);
    EXPECT_EQ(pacer.untilNextByte(), std::chrono::microseconds(2084));
}

TEST(LinePacer, DropsWholeMessagesBeyondTwoSecondsOfLineTime) {
    LinePacer pacer(9600);  // 1920 bytes of room, at least 2048
    EXPECT_TRUE(pacer.enqueue(Bytes(2000, 1)));
    EXPECT_FALSE(pacer.enqueue(Bytes(49, 2)));
    EXPECT_TRUE(pacer.enqueue(Bytes(48, 3)));
    const auto sent = pacer.advance(std::chrono::seconds(10));
    ASSERT_EQ(sent.size(), 2048u);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), 2), 0);
    EXPECT_EQ(sent.back(), 3);
}

class CaptureFeedTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = std::filesystem::path(::testing::TempDir()) / ("capture_feed_" + std::to_string(::getpid()) + ".bin");
    }
    void TearDown() override { std::filesystem::remove(path_); }

    void WriteCapture(const std::vector<std::uint8_t>& bytes) {
        std::ofstream(path_, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                     static_cast<std::streamsize>(bytes.size()));
    }

    std::filesystem::path path_;
};

TEST_F(CaptureFeedTest, PutsTheWholeCaptureOnTheLineUnchangedAndInOrder) {
    std::vector<std::uint8_t> capture(10000);
    for (std::size_t i = 0; i < capture.size(); ++i) capture[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    WriteCapture(capture);
    CaptureFeed feed(path_.string());
    ASSERT_TRUE(feed.IsOpen());
    LinePacer line(4800);
    std::vector<std::uint8_t> sent;
    while (!feed.Finished() || line.queued() > 0) {
        feed.Refill(line);
        // About a second ahead, never the whole file at once.
        EXPECT_LE(line.queued(), 480u + 512u);
        const std::vector<std::uint8_t> step = line.advance(milliseconds(500));
        sent.insert(sent.end(), step.begin(), step.end());
    }
    EXPECT_EQ(sent, capture);
}

TEST_F(CaptureFeedTest, ALoopPutsTheFirstByteAfterTheLast) {
    WriteCapture({1, 2, 3});
    CaptureFeed feed(path_.string());
    LinePacer line(4800);
    feed.Refill(line, true);
    const std::vector<std::uint8_t> sent = line.advance(milliseconds(10));  // 4.8 bytes of line time
    EXPECT_EQ(sent, (std::vector<std::uint8_t>{1, 2, 3, 1}));
    EXPECT_GE(line.queued(), 480u - 4u);
}

TEST_F(CaptureFeedTest, AnEmptyFileLoopsToNothing) {
    WriteCapture({});
    CaptureFeed feed(path_.string());
    LinePacer line(4800);
    feed.Refill(line, true);
    EXPECT_EQ(line.queued(), 0u);
}

TEST_F(CaptureFeedTest, AMissingFileIsNotOpenAndSaysWhy) {
    WriteCapture({1});
    CaptureFeed feed((path_ / "missing").string());
    EXPECT_FALSE(feed.IsOpen());
    EXPECT_EQ(feed.OpenError(), ENOTDIR);
    CaptureFeed absent(path_.string() + ".absent");
    EXPECT_EQ(absent.OpenError(), ENOENT);
}

}  // namespace
}  // namespace vexa
