#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <vector>

#include "sim/sample_capture.h"
#include "support/link_fixture.h"

namespace vexa {
namespace {

// The time of the first fix the receive path tells with a time.
class FirstTime : public GnssListener {
public:
    void onFix(const GnssFix& fix) override {
        if (!time) time = fix.time;
    }
    void onSky(const GnssSky&) override {}
    std::optional<UtcTime> time;
};

std::optional<UtcTime> FirstFixTime(const std::vector<std::uint8_t>& capture) {
    test::LinkUnderTest link;
    FirstTime first;
    link.comm->Model().AddGnssListener(first);
    link.comm->Receive(capture);
    link.comm->EndOfInput();
    link.comm->Model().RemoveGnssListener(first);
    return first.time;
}

// The binary sample's week and time of week and the NMEA sample's two-digit date name one day.
TEST(SampleCaptures, BothSamplesTellOfTheSameDay) {
    const std::optional<UtcTime> binary = FirstFixTime(MakeSampleCapture(nullptr, 2));
    const std::optional<UtcTime> nmea = FirstFixTime(MakeNmeaCapture(2));
    ASSERT_TRUE(binary && nmea);
    EXPECT_EQ(std::chrono::floor<std::chrono::days>(*binary), std::chrono::sys_days{std::chrono::year{2026} / 1 / 8});
    EXPECT_EQ(std::chrono::floor<std::chrono::days>(*nmea), std::chrono::floor<std::chrono::days>(*binary));
}

}  // namespace
}  // namespace vexa
