#include "link/recording/raw_recording.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

#include "link/link_log.h"
#include "link/link_recording.h"
#include "support/link_fixture.h"
#include "support/log_file_text.h"
#include "support/pseudo_terminal.h"

namespace vexa {
namespace {

using test::Bytes;
using test::ReadFile;

Bytes Counting(std::size_t size, std::size_t from = 0) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((from + i) * 31 + (from + i) / 251);
    return bytes;
}

Bytes FileBytes(const std::string& path) {
    const std::string text = ReadFile(path);
    return Bytes(text.begin(), text.end());
}

class RecordingFile : public ::testing::Test {
protected:
    void TearDown() override { std::filesystem::remove(path_); }
    std::string path_ = ::testing::TempDir() + "raw_recording_" +
                        ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
                        std::to_string(::getpid()) + ".bin";
};

TEST_F(RecordingFile, HoldsEveryByteUnchangedInOrder) {
    RawRecording recording;
    ASSERT_EQ(recording.Start(path_), 0);
    EXPECT_TRUE(recording.Active());
    Bytes all;
    // Small pieces gather; one larger than the buffer goes out whole; the rest waits for a flush or the stop.
    for (const std::size_t size : {std::size_t{1}, std::size_t{1023}, RawRecording::kBufferSize - 100,
                                   RawRecording::kBufferSize * 3 + 5, std::size_t{700}}) {
        const Bytes piece = Counting(size, all.size());
        EXPECT_EQ(recording.Append(piece), "");
        all.insert(all.end(), piece.begin(), piece.end());
    }
    EXPECT_EQ(recording.Flush(), "");
    EXPECT_EQ(FileBytes(path_), all);
    EXPECT_EQ(recording.Append(Bytes{0xA0, 0xA2}), "");
    EXPECT_EQ(recording.Stop(), "");
    EXPECT_FALSE(recording.Active());
    all.insert(all.end(), {0xA0, 0xA2});
    EXPECT_EQ(FileBytes(path_), all);
    // After the stop nothing more is written.
    EXPECT_EQ(recording.Append(Bytes{1, 2, 3}), "");
    EXPECT_EQ(FileBytes(path_).size(), all.size());
}

TEST_F(RecordingFile, StartingAgainReplacesTheFileAndAPathThatCannotBeCreatedSaysWhy) {
    RawRecording recording;
    ASSERT_EQ(recording.Start(path_), 0);
    EXPECT_EQ(recording.Append(Counting(5000)), "");
    ASSERT_EQ(recording.Start(path_), 0);
    EXPECT_EQ(recording.Append(Bytes{7}), "");
    EXPECT_EQ(recording.Stop(), "");
    EXPECT_EQ(FileBytes(path_), Bytes{7});
    EXPECT_EQ(recording.Start("/nonexistent-folder/capture.bin"), ENOENT);
    EXPECT_FALSE(recording.Active());
}

TEST_F(RecordingFile, AFullDiskEndsTheRecordingWithOneMessage) {
    RawRecording recording;
    ASSERT_EQ(recording.Start("/dev/full"), 0);
    EXPECT_EQ(recording.Append(Counting(1000)), "");
    EXPECT_EQ(recording.Append(Counting(RawRecording::kBufferSize)),
              "Recording stopped: /dev/full: No space left on device");
    EXPECT_FALSE(recording.Active());
    EXPECT_EQ(recording.Append(Counting(RawRecording::kBufferSize * 2)), "");
    EXPECT_EQ(recording.Stop(), "");
    // The same when the error is met by the stop's own flush.
    ASSERT_EQ(recording.Start("/dev/full"), 0);
    EXPECT_EQ(recording.Append(Counting(10)), "");
    EXPECT_EQ(recording.Stop(), "Recording stopped: /dev/full: No space left on device");
}

// A file that may grow no further (the file size limit: a disk that fills up half way through a
// write) keeps every byte that reached it.
TEST_F(RecordingFile, WhatReachedTheFileBeforeAWriteErrorStays) {
    constexpr rlim_t kLimit = 100'000;
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = kLimit;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);

    RawRecording recording;
    ASSERT_EQ(recording.Start(path_), 0);
    const Bytes sent = Counting(250'000);
    std::string problem;
    for (std::size_t at = 0; at < sent.size() && problem.empty(); at += 1000) {
        problem = recording.Append(std::span(sent).subspan(at, 1000));
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(problem, "Recording stopped: " + path_ + ": File too large");
    EXPECT_FALSE(recording.Active());
    const Bytes kept = FileBytes(path_);
    ASSERT_EQ(kept.size(), kLimit);
    EXPECT_TRUE(std::equal(kept.begin(), kept.end(), sent.begin()));
}

// Through the real reader thread: what the receiver sends on the line is what the file holds,
// while the receive path still gets every byte.
struct RecordedLink : RecordingFile {
    void SetUp() override { ASSERT_EQ(link.comm->Connect(receiver.SlavePath(), 57600), kResultOk); }
    test::PseudoTerminal receiver;
    test::LinkUnderTest link;
    LinkRecording recording{*link.comm};
};

TEST_F(RecordedLink, EveryByteReadGoesToTheFileAsWellAsToTheReceivePath) {
    const Bytes before = test::Join({test::Frame(test::NavPayload(1))});
    receiver.Send(before);
    ASSERT_TRUE(link.AwaitUpdate(MessageDelivered{MessageId::NavData}));
    ASSERT_EQ(recording.Start(path_), 0);
    EXPECT_TRUE(recording.Active());
    const Bytes recorded = test::Join({test::Text("$GPGSA,A,3,,,,,,,,,,,,,1.0,1.0,1.0*30\r\n"), Bytes{0x00, 0xFF, 0xA0},
                                       test::Frame(test::NavPayload(2)), Counting(3000),
                                       test::Frame(test::OkToSendPayload(1))});
    receiver.Send(recorded);
    ASSERT_TRUE(link.AwaitUpdate(MessageDelivered{MessageId::OkToSend}));
    recording.Stop();
    EXPECT_FALSE(recording.Active());
    EXPECT_EQ(FileBytes(path_), recorded);
    EXPECT_EQ(link.delivered.deliveries().back().id, 18);
}

// Each owner keeps its own listeners on the one link: two recordings and a data log all get
// everything read, the recordings byte for byte.
TEST_F(RecordedLink, SeveralOwnersListenToOneLinkAndEachGetsEverything) {
    LinkRecording second(*link.comm);
    LinkLog log(*link.comm);
    const std::string secondPath = path_ + ".second";
    const std::string logPath = path_ + ".gps";
    ASSERT_EQ(recording.Start(path_), 0);
    ASSERT_EQ(second.Start(secondPath), 0);
    ASSERT_EQ(log.Open(logPath), kResultOk);
    const Bytes sent = test::Join({test::Text("$GPGSA,A,3,,,,,,,,,,,,,1.0,1.0,1.0*30\r\n"), Counting(3000),
                                   test::Frame(test::OkToSendPayload(1))});
    receiver.Send(sent);
    ASSERT_TRUE(link.AwaitUpdate(MessageDelivered{MessageId::OkToSend}));
    recording.Stop();
    second.Stop();
    log.Close();
    EXPECT_EQ(FileBytes(path_), sent);
    EXPECT_EQ(FileBytes(secondPath), sent);
    EXPECT_NE(ReadFile(logPath).find("$GPGSA,A,3,"), std::string::npos) << ReadFile(logPath);
    std::filesystem::remove(secondPath);
    std::filesystem::remove(logPath);
}

TEST_F(RecordedLink, AFullDiskIsShownAndTheLinkKeepsDelivering) {
    ASSERT_EQ(recording.Start("/dev/full"), 0);
    receiver.Send(test::Join({Counting(RawRecording::kBufferSize + 10), test::Frame(test::NavPayload(3))}));
    bool shown = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!shown && std::chrono::steady_clock::now() < deadline) {
        const auto notification = link.notifications.take(std::chrono::milliseconds(100));
        shown = notification == LinkUpdate{MessageToShow{"Recording stopped: /dev/full: No space left on device"}};
    }
    EXPECT_TRUE(shown);
    EXPECT_FALSE(recording.Active());
    receiver.Send(test::Frame(test::OkToSendPayload(1)));
    EXPECT_TRUE(link.AwaitUpdate(MessageDelivered{MessageId::OkToSend}));
}

}  // namespace
}  // namespace vexa
