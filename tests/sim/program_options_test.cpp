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
    EXPECT_EQ(listed.size(), 18u);
    const ParsedOptions parsed =
        ParseProgramOptions(std::vector<std::string_view>{"--constellations", "gps,glonass,galileo,beidou"});
    EXPECT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.simulator.receiver.constellations.size(), 4u);
}

TEST(ProgramOptions, TtffSpreadsPerKindAndPositionNoise) {
    const ParsedOptions parsed = ParseProgramOptions(std::vector<std::string_view>{
        "--ttff-spread", "hot=1..3", "--ttff-spread=cold=20.5..40", "--noise", "2.5,4"});
    ASSERT_EQ(parsed.error, "");
    const ReceiverConfig& receiver = parsed.options.simulator.receiver;
    ASSERT_TRUE(receiver.ttffSpreads[0] && receiver.ttffSpreads[2]);
    EXPECT_FALSE(receiver.ttffSpreads[1]);
    EXPECT_EQ(receiver.ttffSpreads[0]->max, 3.0);
    EXPECT_EQ(receiver.ttffSpreads[2]->min, 20.5);
    EXPECT_EQ(receiver.noise->horizontalSigma, 2.5);
    EXPECT_EQ(receiver.noise->verticalSigma, 4.0);

    const std::string spreadError =
        "--ttff-spread takes KIND=MIN..MAX: hot, warm, cold or factory and seconds with MIN no more than MAX";
    const std::string noiseError = "--noise takes H_SIGMA,V_SIGMA: two distances in metres above 0";
    const std::pair<std::vector<std::string_view>, std::string> refused[] = {
        {{"--ttff-spread", "lukewarm=1..2"}, spreadError}, {{"--ttff-spread", "hot=3..1"}, spreadError},
        {{"--ttff-spread", "hot=-1..1"}, spreadError},     {{"--ttff-spread", "hot=1-2"}, spreadError},
        {{"--ttff-spread", "hot"}, spreadError},           {{"--ttff-spread", "hot=1..inf"}, spreadError},
        {{"--noise", "0,1"}, noiseError},                  {{"--noise", "1"}, noiseError},
        {{"--noise", "1,nan"}, noiseError},
    };
    for (const auto& [arguments, error] : refused) EXPECT_EQ(ErrorOf(arguments), error) << arguments[1];
}

}  // namespace
}  // namespace vexa::sim
