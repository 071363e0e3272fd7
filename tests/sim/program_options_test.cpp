#include "sim/program_options.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "support/listed_options.h"

namespace vexa::sim {
namespace {

std::string ErrorOf(std::vector<std::string_view> arguments) { return ParseProgramOptions(arguments).error; }

TEST(ProgramOptions, AnUnknownOptionIsCalledUnknownWithTheClosestNamed) {
    EXPECT_EQ(ErrorOf({"--bogus"}), "unknown option '--bogus'");
    EXPECT_EQ(ErrorOf({"--baud", "9600", "--protcol", "nmea"}), "unknown option '--protcol'; did you mean '--protocol'?");
    EXPECT_EQ(ErrorOf({"--prodcut=osprey"}), "unknown option '--prodcut'; did you mean '--product'?");
    EXPECT_EQ(ErrorOf({"osprey"}), "unexpected 'osprey'");
}

TEST(ProgramOptions, AKnownOptionWithoutItsValueSaysSo) {
    EXPECT_EQ(ErrorOf({"--seed"}), "--seed needs a value");
    const ParsedOptions parsed = ParseProgramOptions(std::vector<std::string_view>{"--seed=7", "--protocol", "nmea"});
    EXPECT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.simulator.receiver.seed, 7u);
    EXPECT_EQ(parsed.options.simulator.receiver.protocol, Protocol::Nmea);
}

TEST(ProgramOptions, TheProductIsNamedInAnyCase) {
    for (std::string_view name : {"osprey", "Osprey", "OSPREY"}) {
        const ParsedOptions parsed = ParseProgramOptions(std::vector<std::string_view>{"--product", name});
        EXPECT_EQ(parsed.error, "") << name;
        EXPECT_EQ(parsed.options.simulator.receiver.productName, "Osprey") << name;
    }
    EXPECT_EQ(ErrorOf({"--product", "harrier"}), "--product takes kestrel, merlin or osprey");
}

TEST(ProgramOptions, TheRateIsOneOfTheFixRatesAReceiverOffers) {
    for (int rate : {1, 2, 5, 10, 20}) {
        const std::string text = std::to_string(rate);
        const ParsedOptions parsed = ParseProgramOptions(std::vector<std::string_view>{"--rate", text});
        EXPECT_EQ(parsed.error, "") << rate;
        EXPECT_EQ(parsed.options.simulator.receiver.fixesPerSecond, rate);
    }
    for (std::string_view refused : {"0", "3", "4", "40", "2.5", "-1", "x", ""}) {
        EXPECT_EQ(ErrorOf({"--rate", refused}), "--rate takes 1, 2, 5, 10 or 20") << refused;
    }
}

// Every option the help lists is taken: the help and the parser read one table.
TEST(ProgramOptions, EveryOptionTheHelpListsIsTaken) {
    const std::vector<std::string> listed = test::OptionsListedUnder(kProgramUsage, "Options:");
    for (const std::string& name : listed) EXPECT_EQ(ErrorOf({name}).find("unknown option"), std::string::npos) << name;
    EXPECT_EQ(listed.size(), 16u);
    const ParsedOptions parsed =
        ParseProgramOptions(std::vector<std::string_view>{"--constellations", "gps,glonass,galileo,beidou"});
    EXPECT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.simulator.receiver.constellations.size(), 4u);
}

}  // namespace
}  // namespace vexa::sim
