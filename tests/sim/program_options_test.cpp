#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "sim/program_options.h"

namespace vexa::sim {
namespace {

TEST(ProgramOptions, TheProductIsNamedInAnyCase) {
    for (std::string_view name : {"osprey", "Osprey", "OSPREY"}) {
        const std::vector<std::string_view> arguments{"--product", name};
        const ParsedOptions parsed = ParseProgramOptions(arguments);
        EXPECT_EQ(parsed.error, "") << name;
        EXPECT_EQ(parsed.options.simulator.receiver.productName, "Osprey") << name;
    }
    const std::vector<std::string_view> harrier{"--product", "harrier"};
    EXPECT_EQ(ParseProgramOptions(harrier).error, "--product takes kestrel, merlin or osprey");
}

}  // namespace
}  // namespace vexa::sim
