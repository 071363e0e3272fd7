#include "cli/receiver_request.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace vexa {
namespace {

struct RequestCase {
    const char* text;
    std::optional<RequestKind> kind;  // nothing: refused
};

class RequestTexts : public ::testing::TestWithParam<RequestCase> {};

TEST_P(RequestTexts, ParseToTheirKindOrAreRefused) {
    const std::optional<ReceiverRequest> request = ParseReceiverRequest(GetParam().text);
    ASSERT_EQ(request.has_value(), GetParam().kind.has_value());
    if (request) {
        EXPECT_EQ(request->kind, *GetParam().kind);
        EXPECT_EQ(request->text, GetParam().text);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, RequestTexts,
    ::testing::Values(
        RequestCase{"hot-start", RequestKind::HotStart}, RequestCase{"warm-start", RequestKind::WarmStart},
        RequestCase{"cold-start", RequestKind::ColdStart}, RequestCase{"factory-reset", RequestKind::FactoryReset},
        RequestCase{"debug-output", RequestKind::DebugOutput}, RequestCase{"navlib-output", RequestKind::NavLibOutput},
        RequestCase{"poll-version", RequestKind::PollVersion}, RequestCase{"poll-clock", RequestKind::PollClock},
        RequestCase{"switch-protocol", RequestKind::SwitchProtocol},
        RequestCase{"elevation-mask=7.55", RequestKind::ElevationMask},
        RequestCase{"elevation-mask=-20", RequestKind::ElevationMask},
        RequestCase{"elevation-mask=90", RequestKind::ElevationMask}, RequestCase{"elevation-mask=90.5", std::nullopt},
        RequestCase{"elevation-mask=-20.01", std::nullopt},
        RequestCase{"elevation-mask=nan", std::nullopt}, RequestCase{"elevation-mask=5deg", std::nullopt},
        RequestCase{"power=always", RequestKind::Power}, RequestCase{"power=timed,300,2", RequestKind::Power},
        RequestCase{"power=timed,900,10", RequestKind::Power}, RequestCase{"power=timed,250,2", std::nullopt},
        RequestCase{"power=timed,1000,2", std::nullopt}, RequestCase{"power=timed,200,0", std::nullopt},
        RequestCase{"power=timed,200,11", std::nullopt}, RequestCase{"power=timed,200", std::nullopt},
        RequestCase{"power=timed,200,2,", std::nullopt}, RequestCase{"power=fod,1800", RequestKind::Power},
        RequestCase{"power=fod,0", std::nullopt}, RequestCase{"power=fod,99999999999", std::nullopt},
        RequestCase{"power", std::nullopt}, RequestCase{"", std::nullopt},
        RequestCase{"Hot-Start", std::nullopt}, RequestCase{"hot-start=1", std::nullopt}));

TEST(ReceiverRequest, ElevationMaskKeepsTheDegreesForTheNavigationMask) {
    EXPECT_EQ(ParseReceiverRequest("elevation-mask=7.55")->navigationMaskDegrees, 7.55);
}

TEST(ReceiverRequest, PowerModesCarryTheDialogsValuesAndDefaults) {
    const PowerSettings timed = ParseReceiverRequest("power=timed,300,2")->power;
    EXPECT_EQ(timed.mode, PowerMode::TimedPower);
    EXPECT_EQ(timed.onTimeMs, 300);
    EXPECT_EQ(timed.updateRateSeconds, 2);
    EXPECT_EQ(timed.maxOffTimeMs, 30000u);
    EXPECT_EQ(timed.maxSearchTimeMs, 300000u);

    const PowerSettings fod = ParseReceiverRequest("power=fod,600")->power;
    EXPECT_EQ(fod.mode, PowerMode::FixOnDemand);
    EXPECT_EQ(fod.fixOnDemandPeriodSeconds, 600u);
    EXPECT_EQ(fod.onTimeMs, 200);

    EXPECT_EQ(ParseReceiverRequest("power=always")->power.mode, PowerMode::AlwaysOn);
}

}  // namespace
}  // namespace vexa
