#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include "cli/cli_options.h"
#include "cli/decode_command.h"
#include "cli/live_command.h"
#include "link/connection/baud_settings.h"
#include "live_rig.h"

namespace vexa::clitest {
namespace {

using sim::Protocol;

std::string FileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + "cli_recording_" + std::to_string(::getpid()) + "_" + name;
}

// Records a live session for `seconds` of the receiver's output; gives the message lines it printed.
std::string RecordLive(const sim::SimulatorOptions& receiver, const std::string& path, int seconds,
                       std::uint64_t& bytesSent) {
    LiveRig rig(receiver);
    EXPECT_EQ(rig.session->StartRecording(path), 0);
    rig.ConnectAt(std::to_string(receiver.receiver.baud));
    for (int second = 1; second < seconds; ++second) rig.Second(true);
    EXPECT_TRUE(rig.AwaitAllRead());
    rig.session->Finish();
    bytesSent = rig.simulator->bytesSent();
    return rig.out.text();
}

class LiveRecording : public ::testing::TestWithParam<std::pair<Protocol, int>> {
protected:
    void TearDown() override {
        std::remove(first_.c_str());
        std::remove(second_.c_str());
    }
    std::string first_ = TempPath("first.bin");
    std::string second_ = TempPath("second.bin");
};

TEST_P(LiveRecording, DecodesToTheLinesShownLiveAndReplaysByteForByte) {
    const auto [protocol, baud] = GetParam();
    std::uint64_t sent = 0;
    const std::string shown = RecordLive(Receiver(protocol, baud), first_, 4, sent);
    const std::string recorded = FileText(first_);
    ASSERT_EQ(recorded.size(), sent);
    ASSERT_FALSE(shown.empty());

    CapturedStream decoded;
    CapturedStream decodeErrors;
    EXPECT_EQ(RunDecodeCommand({"--decode", first_}, stdin, decoded.file(), decodeErrors.file()), 0);
    EXPECT_EQ(decoded.text(), shown);
    EXPECT_NE(decodeErrors.text().find("bytes " + std::to_string(sent) + ","), std::string::npos) << decodeErrors.text();

    // The simulator plays the recording back at the line rate; recorded again, it is the same file.
    sim::SimulatorOptions replay = Receiver(protocol, baud);
    replay.replayPath = first_;
    const int seconds = static_cast<int>(recorded.size() / static_cast<std::size_t>(baud / 10)) + 2;
    std::uint64_t replayed = 0;
    const std::string shownAgain = RecordLive(replay, second_, seconds, replayed);
    EXPECT_EQ(FileText(second_), recorded);
    EXPECT_EQ(shownAgain, shown);
}

INSTANTIATE_TEST_SUITE_P(BothProtocols, LiveRecording,
                         ::testing::Values(std::pair{Protocol::Binary, 57600}, std::pair{Protocol::Nmea, 4800}));

TEST(LiveRecordingProblems, AFullDiskIsShownOnceAndTheSessionGoesOn) {
    LiveRig rig(Receiver(Protocol::Binary, 115200));
    ASSERT_EQ(rig.session->StartRecording("/dev/full"), 0);
    rig.ConnectAt("115200");
    for (int second = 0; second < 8; ++second) rig.Second(true);
    ASSERT_TRUE(rig.AwaitAllRead());
    rig.session->Finish();
    const std::string errors = rig.err.text();
    const std::string message = "Recording stopped: /dev/full: No space left on device\n";
    ASSERT_NE(errors.find(message), std::string::npos) << errors;
    EXPECT_EQ(errors.find(message), errors.rfind(message));
    EXPECT_EQ(rig.session->Context().LinkProtocol, kBinaryProtocol);
}

TEST(LiveRecordingProblems, ARecordingThatCannotBeCreatedIsRefusedBeforeConnecting) {
    std::string error;
    const auto options = ParseCliOptions({"--port", "/dev/null", "--record", "/nonexistent-folder/raw.bin"}, error);
    ASSERT_TRUE(options) << error;
    CapturedStream out;
    CapturedStream err;
    EXPECT_EQ(RunLiveCommand(*options, out.file(), err.file(), SystemClock()), kExitBadUsage);
    EXPECT_EQ(err.text(),
              "vexademo-cli: cannot create the recording /nonexistent-folder/raw.bin: the folder "
              "/nonexistent-folder does not exist\n");
    EXPECT_EQ(out.text(), "");
}

}  // namespace
}  // namespace vexa::clitest
