// vexademo-cli against the fastest receiver it is built for: four systems, 20 fixes a second, 921600
// baud on a pseudo-terminal. The program counts every byte, frame and sentence the receiver sent.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>

#include "sim/receiver_simulator.h"
#include "support/log_file_text.h"
#include "support/program_run.h"

namespace vexa {
namespace {

using namespace std::chrono_literals;
using test::ProgramRun;
using test::ReadFile;
using test::ScratchFolder;

constexpr int kBaud = 921600;
constexpr auto kRun = 10s;

// True once the process holds `path` open.
bool HoldsOpen(pid_t process, const std::string& path) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/" + std::to_string(process) + "/fd", error)) {
        if (std::filesystem::read_symlink(entry.path(), error) == path) return true;
    }
    return false;
}

bool WaitUntilOpen(pid_t process, const std::string& path) {
    const auto deadline = std::chrono::steady_clock::now() + 15s;
    while (!HoldsOpen(process, path)) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

TEST(CliAtHighRate, EveryByteFrameAndSentenceOfTwentyFourSystemFixesASecondArrives) {
    for (const sim::Protocol protocol : {sim::Protocol::Binary, sim::Protocol::Nmea}) {
        SCOPED_TRACE(protocol == sim::Protocol::Nmea ? "NMEA" : "binary");
        ScratchFolder folder;
        sim::SimulatorOptions options;
        options.receiver.protocol = protocol;
        options.receiver.baud = kBaud;
        options.receiver.fixesPerSecond = 20;
        options.receiver.constellations = {sim::Constellation::Gps, sim::Constellation::Glonass,
                                           sim::Constellation::Galileo, sim::Constellation::BeiDou};
        sim::ReceiverSimulator simulator(options);
        ProgramRun program(VEXADEMO_CLI,
                           {"--port", simulator.slavePath(), "--baud", std::to_string(kBaud), "--log", folder / "log"},
                           {.output = folder / "out", .errors = folder / "err"});
        ASSERT_TRUE(program.Started());
        // The receiver starts once the program has opened and set up its line: what a program discards
        // while it sets up the line was never lost on the way.
        ASSERT_TRUE(WaitUntilOpen(program.Pid(), simulator.slavePath()));
        std::this_thread::sleep_for(500ms);
        simulator.start();
        std::this_thread::sleep_for(kRun);
        simulator.stop();
        // Time to read what is still on the way, then the end of the run and its counts.
        std::this_thread::sleep_for(2s);
        program.Signal(SIGTERM);
        ASSERT_EQ(program.Wait(10s), 0);

        const std::string errors = ReadFile(folder / "err");
        std::smatch counts;
        ASSERT_TRUE(std::regex_search(errors, counts,
                                      std::regex(R"(\nbytes (\d+), frames (\d+), sentences (\d+), dropped (\d+))")))
            << errors;
        const sim::SentCounts sent = simulator.sentCounts();
        EXPECT_EQ(sent.messagesOverLineRate, 0u) << "the line carries it all";
        EXPECT_EQ(sent.bytesNotTaken, 0u);
        EXPECT_GT(sent.bytes, 20'000u);
        EXPECT_EQ(std::stoull(counts[1]), sent.bytes);
        EXPECT_EQ(std::stoull(counts[2]), sent.frames);
        EXPECT_EQ(std::stoull(counts[3]), sent.sentences);
        EXPECT_EQ(counts[4], "0") << errors;
    }
}

}  // namespace
}  // namespace vexa
