// The live front end reads a receiver that a real gpsd owns: the simulated receiver on a
// pseudo-terminal, gpsd started in the foreground on it, and the program on --port gpsd://.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/gpsd_process.h"
#include "cli/cli_options.h"
#include "cli/live_command.h"
#include "live_rig.h"
#include "sim/receiver_simulator.h"

namespace vexa {
namespace {

using clitest::CapturedStream;

struct LiveRun {
    int code = -1;
    std::string output;
    std::string errors;
};

LiveRun RunLive(const std::vector<std::string>& arguments) {
    std::string error;
    const std::optional<CliOptions> options = ParseCliOptions(arguments, error);
    EXPECT_TRUE(options) << error;
    if (!options) return {};
    CapturedStream output;
    CapturedStream errors;
    LiveRun run;
    run.code = RunLiveCommand(*options, output.file(), errors.file(), SystemClock());
    run.output = output.text();
    run.errors = errors.text();
    return run;
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

class LiveThroughGpsd : public ::testing::Test {
protected:
    void SetUp() override {
        if (test::GpsdProgram().empty()) GTEST_SKIP() << "gpsd is not installed (scripts/bootstrap installs it)";
        simulator_ = std::make_unique<sim::ReceiverSimulator>(clitest::Receiver(sim::Protocol::Nmea, 9600));
        simulator_->start();
        gpsd_ = std::make_unique<test::GpsdProcess>(std::vector<std::string>{simulator_->slavePath()});
        ASSERT_TRUE(gpsd_->Ready());
    }
    void TearDown() override {
        gpsd_.reset();
        if (simulator_) simulator_->stop();
    }
    std::string Name() const { return "gpsd://127.0.0.1:" + std::to_string(gpsd_->Port()); }

    std::unique_ptr<sim::ReceiverSimulator> simulator_;
    std::unique_ptr<test::GpsdProcess> gpsd_;
};

TEST_F(LiveThroughGpsd, PrintsTheReceiversSentencesAndReportsWithoutGpsdsOwnLines) {
    const LiveRun lines = RunLive({"--port", Name(), "--seconds", "8"});
    EXPECT_EQ(lines.code, kExitReceiverFound) << lines.errors;
    EXPECT_NE(lines.errors.find("Connected (NMEA)\n"), std::string::npos) << lines.errors;
    EXPECT_GT(Count(lines.output, "\n$GPGGA,"), 0u) << lines.output;
    EXPECT_EQ(lines.output.find("\"class\":\"VERSION\""), std::string::npos);
    EXPECT_EQ(lines.output.find("\"class\":\"DEVICE"), std::string::npos);

    const LiveRun reports = RunLive({"--port", Name(), "--seconds", "8", "--json"});
    EXPECT_EQ(reports.code, kExitReceiverFound) << reports.errors;
    EXPECT_GT(Count(reports.output, "{\"class\":\"TPV\""), 0u) << reports.output;
    EXPECT_GT(Count(reports.output, "{\"class\":\"SKY\""), 0u) << reports.output;
}

}  // namespace
}  // namespace vexa
