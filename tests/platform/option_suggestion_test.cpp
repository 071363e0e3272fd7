#include "platform/option_suggestion.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace vexa {
namespace {

constexpr std::string_view kOptions[] = {"--port", "--baud", "--product", "--protocol", "--seconds",
                                         "--send", "--session", "--log", "--help"};

struct Slip {
    const char* legend;
    const char* given;
    const char* suggested;  // empty when nothing is close enough
};

class Suggestion : public ::testing::TestWithParam<Slip> {};

TEST_P(Suggestion, NamesTheClosestOptionOrNone) {
    const Slip& slip = GetParam();
    const auto closest = ClosestOption(slip.given, kOptions);
    EXPECT_EQ(closest.value_or(""), slip.suggested);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Suggestion,
    ::testing::Values(Slip{"OneLetterDropped", "--prt", "--port"}, Slip{"OneLetterAdded", "--logg", "--log"},
                      Slip{"OneLetterChanged", "--bauf", "--baud"}, Slip{"NeighboursSwapped", "--secodns", "--seconds"},
                      Slip{"SingleDash", "-port", "--port"}, Slip{"UniqueAbbreviation", "--sess", "--session"},
                      Slip{"AbbreviationBeforeEdits", "--prot", "--protocol"},
                      Slip{"AmbiguousAbbreviationFallsBackToEdits", "--pro", ""},
                      Slip{"TooFarFromAnything", "--bogus", ""}, Slip{"DashesOnly", "--", ""},
                      Slip{"TwoSlipsInALongName", "--protcool", "--protocol"},
                      Slip{"TwoSlipsInAShortName", "--lgo2", ""}),
    [](const auto& info) { return std::string(info.param.legend); });

TEST(UnknownOptionText, SaysUnknownAndAddsTheSuggestionOnlyWhenThereIsOne) {
    EXPECT_EQ(UnknownOptionText("--bogus", kOptions), "unknown option '--bogus'");
    EXPECT_EQ(UnknownOptionText("--prodcut", kOptions), "unknown option '--prodcut'; did you mean '--product'?");
}

TEST(IsKnownOption, MatchesWholeNamesOnly) {
    EXPECT_TRUE(IsKnownOption("--port", kOptions));
    EXPECT_FALSE(IsKnownOption("--por", kOptions));
    EXPECT_FALSE(IsKnownOption("port", kOptions));
}

}  // namespace
}  // namespace vexa
