#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/command_line.h"
#include "support/listed_options.h"

#include <unistd.h>

namespace vexa {
namespace {

ParsedDemoOptions Parse(std::vector<std::string_view> arguments) { return ParseDemoOptions(arguments); }

TEST(CommandLineTest, TheOptionsOfAScreenshotRun) {
    const ParsedDemoOptions parsed =
        Parse({"--simulate", "--sim-protocol", "nmea", "--sim-baud", "4800", "--sim-constellations", "galileo,gps", "--port", "/dev/ttyUSB0", "--scale", "2",
               "--product", "Osprey", "--connect", "--baud", "921600", "--screenshots", "/tmp/shots", "--seconds", "2.5", "--map", "a.gst",
               "--history", "--counts", "/tmp/got"});
    ASSERT_EQ(parsed.error, "");
    const DemoOptions& options = parsed.options;
    EXPECT_TRUE(options.simulate);
    EXPECT_TRUE(options.simulateNmea);
    EXPECT_EQ(options.simulateBaud, 4800);
    EXPECT_EQ(options.simulateConstellations, (sim::Constellations{sim::Constellation::Gps, sim::Constellation::Galileo}));
    EXPECT_EQ(options.ports, std::vector<std::string>{"/dev/ttyUSB0"});
    EXPECT_EQ(options.scale, 2);
    EXPECT_EQ(options.product, 1);
    EXPECT_TRUE(options.connect);
    EXPECT_EQ(options.connectBaud, 921600);
    EXPECT_EQ(options.screenshotsFolder, "/tmp/shots");
    EXPECT_EQ(options.seconds, 2.5);
    EXPECT_EQ(options.mapFile, "a.gst");
    EXPECT_TRUE(options.history);
    EXPECT_EQ(options.countsFile, "/tmp/got");
}

TEST(CommandLineTest, NoArgumentsAskForTheDialogs) {
    const ParsedDemoOptions parsed = Parse({});
    EXPECT_EQ(parsed.error, "");
    EXPECT_FALSE(parsed.options.product);
    EXPECT_FALSE(parsed.options.connect);
    EXPECT_EQ(parsed.options.scale, 1);
}

TEST(CommandLineTest, TheProductIsNamedInAnyCase) {
    EXPECT_EQ(Parse({"--product", "kestrel"}).options.product, 0);
    EXPECT_EQ(Parse({"--product", "KESTREL"}).options.product, 0);
    EXPECT_EQ(Parse({"--product", "merlin"}).options.product, 2);
    EXPECT_EQ(Parse({"--product", "vexaloc"}).error, "--product takes Kestrel, Osprey or Merlin");
}

TEST(CommandLineTest, BadArgumentsAreRefusedWithAReason) {
    const std::vector<std::vector<std::string_view>> cases = {
        {"--bogus"},
        {"--scale"},
        {"--scale", "0"},
        {"--scale", "2x"},
        {"--product", "Harrier"},
        {"--simulate", "--sim-baud", "1234"},
        {"--simulate", "--sim-baud", "0"},
        {"--simulate", "--sim-protocol", "morse"},
        {"--sim-protocol", "nmea"},
        {"--simulate", "--sim-constellations", "glonass"},
        {"--simulate", "--sim-constellations"},
        {"--sim-constellations", "gps,beidou"},
        {"--screenshots", "/tmp/x"},
        {"--connect", "--seconds", "3"},
        {"--connect", "--screenshots", "/tmp/x", "--seconds", "-1"},
        {"--port", ""},
        {"--metrics"},
        {"--metrics", "9861"},
        {"--metrics", "localhost:0"},
        {"--metrics", "gnss lab:9861"},
        {"--counts"},
        {"--counts", ""},
        {"--connect", "--baud", "1234"},
        {"--connect", "--baud", "0"},
        {"--baud", "9600"},
    };
    for (const auto& arguments : cases) {
        EXPECT_NE(Parse(arguments).error, "") << arguments.front() << " (" << arguments.size() << " arguments)";
    }
}

TEST(CommandLineTest, AnUnknownOptionIsCalledUnknownWithTheClosestNamed) {
    EXPECT_EQ(Parse({"--bogus"}).error, "unknown option '--bogus'");
    EXPECT_EQ(Parse({"--simulate", "--conect"}).error, "unknown option '--conect'; did you mean '--connect'?");
    EXPECT_EQ(Parse({"--screenshot", "/tmp/x"}).error, "unknown option '--screenshot'; did you mean '--screenshots'?");
    EXPECT_EQ(Parse({"Osprey"}).error, "unexpected 'Osprey'");
}

// Every option the help lists is taken: the help and the parser read one table.
TEST(CommandLineTest, EveryOptionTheHelpListsIsTaken) {
    const std::vector<std::string> listed = test::OptionsListedUnder(kDemoUsage, "Options:");
    for (const std::string& name : listed) EXPECT_EQ(Parse({name}).error.find("unknown option"), std::string::npos) << name;
    EXPECT_EQ(listed.size(), 21u);
}

TEST(CommandLineTest, AReplayIsListedByItsReplayNameWithItsPace) {
    const ParsedDemoOptions parsed = Parse({"--replay", "/data/drive.bin", "--speed", "12.5", "--loop"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.replayFile, "/data/drive.bin");
    EXPECT_EQ(ReplayPortName(parsed.options), "replay,speed=12.5,loop:/data/drive.bin");
    EXPECT_EQ(ReplayPortName(Parse({"--replay", "/data/drive.bin"}).options), "replay:/data/drive.bin");
    EXPECT_EQ(ReplayPortName(Parse({}).options), "");
    EXPECT_EQ(Parse({"--replay", "/data/drive.bin", "--screenshots", "/tmp/shots"}).error, "")
        << "a replay connects at start, as --connect does";
}

TEST(CommandLineTest, ReplayOptionsAreRefusedWithAReason) {
    const std::pair<std::vector<std::string_view>, const char*> cases[] = {
        {{"--replay", "a.bin", "--speed", "0"}, "--speed takes a number from 0.1 to 50"},
        {{"--replay", "a.bin", "--speed", "1000"}, "--speed takes a number from 0.1 to 50"},
        {{"--replay", "a.bin", "--speed", "fast"}, "--speed takes a number from 0.1 to 50"},
        {{"--replay", "a.bin", "--speed"}, "--speed takes a number from 0.1 to 50"},
        {{"--replay"}, "--replay takes a capture file"},
        {{"--speed", "2"}, "--speed and --loop need --replay"},
        {{"--loop"}, "--speed and --loop need --replay"},
        {{"--screenshots", "/tmp/x"}, "--screenshots needs --connect or --replay"},
        {{"--replay", "a.bin", "--lop"}, "unknown option '--lop'; did you mean '--loop'?"},
    };
    for (const auto& [arguments, error] : cases) EXPECT_EQ(Parse(arguments).error, error) << arguments.front();
}

TEST(CommandLineTest, ACaptureThatCannotBePlayedIsNamedWithTheReason) {
    const std::string folder = ::testing::TempDir() + "command_line_replay_" + std::to_string(::getpid());
    std::filesystem::create_directories(folder);
    const std::string empty = folder + "/empty.bin";
    std::ofstream{empty};
    const std::string good = folder + "/good.bin";
    std::ofstream(good) << "$GPGSA,A,3,,,,,,,,,,,,,1.0,1.0,1.0*30\r\n";
    EXPECT_EQ(ReplayProblem(Parse({"--replay", empty}).options), empty + ": the capture is empty");
    EXPECT_EQ(ReplayProblem(Parse({"--replay", folder + "/none.bin"}).options),
              folder + "/none.bin: No such file or directory");
    EXPECT_EQ(ReplayProblem(Parse({"--replay", good}).options), "");
    EXPECT_EQ(ReplayProblem(Parse({}).options), "");
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace vexa
