#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "app/command_line.h"

namespace vexa {
namespace {

ParsedDemoOptions Parse(std::vector<std::string_view> arguments) { return ParseDemoOptions(arguments); }

TEST(CommandLineTest, TheOptionsOfAScreenshotRun) {
    const ParsedDemoOptions parsed =
        Parse({"--simulate", "--sim-protocol", "nmea", "--sim-baud", "4800", "--sim-constellations", "galileo,gps", "--port", "/dev/ttyUSB0", "--scale", "2",
               "--product", "Osprey", "--connect", "--screenshots", "/tmp/shots", "--seconds", "2.5", "--map", "a.gst"});
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
    EXPECT_EQ(options.screenshotsFolder, "/tmp/shots");
    EXPECT_EQ(options.seconds, 2.5);
    EXPECT_EQ(options.mapFile, "a.gst");
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

}  // namespace
}  // namespace vexa
