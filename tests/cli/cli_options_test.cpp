#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/session_command.h"
#include "support/listed_options.h"
#include "receiver/product/receiver_context.h"

namespace vexa {
namespace {

using Arguments = std::vector<std::string>;

struct BadUsage {
    Arguments arguments;
    const char* error;
};

class RefusedArguments : public ::testing::TestWithParam<BadUsage> {};

TEST_P(RefusedArguments, GiveTheReason) {
    std::string error;
    EXPECT_FALSE(ParseCliOptions(GetParam().arguments, error));
    EXPECT_EQ(error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedArguments,
    ::testing::Values(BadUsage{{}, "give --port"},
                      BadUsage{{"--port", "/dev/a", "--port", "/dev/b", "--port", "/dev/a"}, "--port /dev/a is given twice"},
                      BadUsage{{"--port", "/dev/a", "--port", "/dev/b", "--campaign", "hot", "--runs", "1", "--report", "r",
                                "--reference", "survey=60"},
                               "--reference survey= takes one --port; give the point with several"},
                      BadUsage{{"--port", "/dev/a", "--compare", "--json"}, "--json cannot be used with --compare"},
                      BadUsage{{"--port"}, "--port needs a value"},
                      BadUsage{{"/dev/ttyUSB0"}, "unexpected '/dev/ttyUSB0'"},
                      BadUsage{{"--speed", "4800"}, "unknown option '--speed'"},
                      BadUsage{{"--bogus"}, "unknown option '--bogus'"},
                      BadUsage{{"--port", "/dev/a", "--prot"}, "unknown option '--prot'; did you mean '--port'?"},
                      BadUsage{{"--port", "/dev/a", "--sec", "3"}, "unknown option '--sec'; did you mean '--seconds'?"},
                      BadUsage{{"--port", "/dev/a", "--fixes", "3"}, "--fixes cannot be used without --session"},
                      BadUsage{{"--port", "/dev/a", "--baud", "2400"},
                               "--baud takes 4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600 or auto"},
                      BadUsage{{"--port", "/dev/a", "--baud", "Auto "},
                               "--baud takes 4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600 or auto"},
                      BadUsage{{"--port", "/dev/a", "--product", "harrier"}, "--product takes kestrel, osprey or merlin"},
                      BadUsage{{"--port", "/dev/a", "--product", "osprey", "--baud", "57600"},
                               "the osprey talks at 57600 baud; --baud cannot be chosen"},
                      BadUsage{{"--port", "/dev/a", "--seconds", "0"}, "--seconds takes a positive number of seconds"},
                      BadUsage{{"--port", "/dev/a", "--seconds", "1e300"}, "--seconds takes a positive number of seconds"},
                      BadUsage{{"--port", "/dev/a", "--seconds", "5s"}, "--seconds takes a positive number of seconds"},
                      BadUsage{{"--port", "/dev/a", "--send", "warm"}, "unknown receiver command 'warm'"},
                      BadUsage{{"--port", "", "--baud", "auto"}, "--port takes a device path, tcp://HOST:PORT or gpsd://HOST[:PORT][/DEVICE]"},
                      BadUsage{{"--list-ports", "--seconds", "3"}, "--list-ports takes only --port"},
                      BadUsage{{"--port", "/dev/a", "--record", ""}, "--record takes a file name"},
                      BadUsage{{"--port", "/dev/a", "--recrod", "x.bin"},
                               "unknown option '--recrod'; did you mean '--record'?"},
                      BadUsage{{"--list-ports", "--record", "x.bin"}, "--list-ports takes only --port"},
                      BadUsage{{"--port", "/dev/a", "--campaign", "cold", "--runs", "0", "--report", "r"},
                               "--runs takes a whole number from 1 to 100000"},
                      BadUsage{{"--port", "/dev/a", "--campaign", "cold", "--runs", "3", "--run-timeout", "-5", "--report", "r"},
                               "--run-timeout takes a number of seconds above 0"},
                      BadUsage{{"--port", "/dev/a", "--campaign", "tepid", "--runs", "3"},
                               "--campaign takes hot, warm, cold, factory or cycle"},
                      BadUsage{{"--port", "/dev/a", "--campaign", "cold", "--runs", "3"}, "--campaign needs --report DIR"},
                      BadUsage{{"--port", "/dev/a", "--campaign", "cold", "--report", "r"}, "--campaign needs --runs N"},
                      BadUsage{{"--port", "/dev/a", "--runs", "3"}, "--runs needs --campaign"},
                      BadUsage{{"--port", "/dev/a", "--campaign", "hot", "--runs", "3", "--report", "r", "--power-cycle",
                                "--reset-text", "hot=X"},
                               "--power-cycle sends no reset; --reset-text cannot be used with it"},
                      BadUsage{{"--port", "/dev/a", "--reset-text", "hot=\\q"},
                               "--reset-text hot: \\q at 1 is no escape; use \\r \\n \\t \\\\ or \\xHH"},
                      BadUsage{{"--port", "/dev/a", "--reference", "0,181,0"},
                               "reference point \"0,181,0\": the longitude 181 is outside -180 to 180 degrees"},
                      BadUsage{{"--port", "/dev/a", "--reference", "survey=0"},
                               "--reference survey= takes a whole number of seconds from 1 to 86400"},
                      BadUsage{{"--port", "/dev/a", "--reference", "1,2,3"}, "--reference needs --campaign, --compare or --metrics"},
                      BadUsage{{"--port", "/dev/a", "--metrics", "localhost:9861", "--reference", "survey=60"},
                               "--reference needs --campaign"},
                      BadUsage{{"--port", "/dev/a", "--metrics", "9861"}, "--metrics takes HOST:PORT, a port from 1 to 65535"},
                      BadUsage{{"--port", "/dev/a", "--metrics", ":9861"}, "--metrics takes HOST:PORT, a port from 1 to 65535"},
                      BadUsage{{"--port", "/dev/a", "--metrics", "localhost:0"},
                               "--metrics takes HOST:PORT, a port from 1 to 65535"},
                      BadUsage{{"--port", "/dev/a", "--metrics", "localhost:70000"},
                               "--metrics takes HOST:PORT, a port from 1 to 65535"}));

TEST(CliOptions, ACampaignWithEverything) {
    std::string error;
    const auto options = ParseCliOptions({"--port", "/dev/a", "--campaign", "cycle", "--runs", "8", "--run-timeout", "90.5",
                                          "--settle", "0", "--reset-text", "cold=$PXYZ,1\\r\\n\\x01", "--reference",
                                          "survey=120", "--report", "out"},
                                         error);
    ASSERT_TRUE(options && options->campaign) << error;
    EXPECT_EQ(options->campaign->plan.kinds.size(), 4u);
    EXPECT_EQ(options->campaign->runs, 8u);
    EXPECT_EQ(options->campaign->runTimeout, std::chrono::milliseconds(90500));
    EXPECT_EQ(options->campaign->settle, std::chrono::milliseconds(0));
    const std::string coldText(options->resetTexts[2].begin(), options->resetTexts[2].end());
    EXPECT_EQ(coldText, "$PXYZ,1\r\n\x01");
    EXPECT_EQ(options->surveySeconds, 120);
    EXPECT_EQ(options->reportPath, "out");
}

TEST(CliOptions, LiveWithEveryOption) {
    std::string error;
    const auto options = ParseCliOptions({"--port", "/dev/ttyUSB0", "--baud", "auto", "--product", "merlin", "--seconds",
                                          "20.5", "--log", "out.gps", "--record", "raw.bin", "--send", "poll-version", "--send", "cold-start"},
                                         error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->mode, CliOptions::Mode::Live);
    EXPECT_EQ(options->portPaths, std::vector<std::string>{"/dev/ttyUSB0"});
    EXPECT_EQ(options->baudSelection, "Auto");
    EXPECT_EQ(options->product, kMerlin);
    EXPECT_EQ(options->seconds, 20.5);
    EXPECT_EQ(options->logPath, "out.gps");
    EXPECT_EQ(options->recordPath, "raw.bin");
    ASSERT_EQ(options->requests.size(), 2u);
    EXPECT_EQ(options->requests[0].kind, RequestKind::PollVersion);
    EXPECT_EQ(options->requests[1].kind, RequestKind::ColdStart);
}

TEST(CliOptions, TheProductIsNamedInAnyCase) {
    std::string error;
    for (const char* name : {"Osprey", "OSPREY"}) {
        const auto options = ParseCliOptions({"--port", "/dev/a", "--product", name}, error);
        ASSERT_TRUE(options) << error;
        EXPECT_EQ(options->product, kOsprey) << name;
    }
}

TEST(CliOptions, LiveDefaultsToAutomaticDetectionUntilASignal) {
    std::string error;
    const auto options = ParseCliOptions({"--port", "/dev/ttyS0"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->baudSelection, "Auto");
    EXPECT_EQ(options->product, kKestrel);
    EXPECT_FALSE(options->seconds);
    EXPECT_TRUE(options->logPath.empty());
}

TEST(CliOptions, ListingTakesAnyNumberOfPorts) {
    std::string error;
    const auto options = ParseCliOptions({"--port", "/dev/a", "--list-ports", "--port", "/dev/b"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->mode, CliOptions::Mode::ListPorts);
    EXPECT_EQ(options->portPaths, (std::vector<std::string>{"/dev/a", "/dev/b"}));
}

TEST(CliOptions, HelpWinsOverEverythingElse) {
    std::string error;
    const auto options = ParseCliOptions({"--bogus", "--help"}, error);
    ASSERT_FALSE(options) << "an earlier bad option is reported first";
    const auto help = ParseCliOptions({"--port", "/dev/a", "-h", "--bogus"}, error);
    ASSERT_TRUE(help);
    EXPECT_EQ(help->mode, CliOptions::Mode::Help);
}

// Every option the help lists is taken in its mode, the help and the parsers reading one table.
TEST(CliOptions, EveryOptionTheHelpListsIsTakenInItsMode) {
    const auto refused = [](const std::string& error) {
        return error.find("unknown option") != std::string::npos || error.find("cannot be used") != std::string::npos;
    };
    const std::vector<std::string> live = test::OptionsListedUnder(kCliUsage, "Options:");
    const std::vector<std::string> session = test::OptionsListedUnder(kCliUsage, "Options of --session:");
    EXPECT_GE(live.size(), 9u);
    EXPECT_EQ(session.size(), 4u);
    for (const std::string& name : live) {
        std::string error;
        ParseCliOptions({"--port", "/dev/a", name}, error);
        EXPECT_FALSE(refused(error)) << name << ": " << error;
    }
    for (const std::string& name : session) {
        std::string error;
        ParseSessionOptions({"--session", "network", "--product", "osprey", "--port", "/dev/a", name}, error);
        EXPECT_FALSE(refused(error)) << name << ": " << error;
    }
}

}  // namespace
}  // namespace vexa
