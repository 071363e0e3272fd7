#include "link/model/poll_answer_text.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vexa {
namespace {

TEST(PollAnswerText, ClockStatusShowsSixLinesInTheirUnits) {
    const ClockStatus status{1234, 36000012, 9, 75000, 123456, 360000123};
    EXPECT_EQ(ClockStatusText(status),
              "GPS week = 1234\nGPS time = 360000.12 s\nsv cnt = 9\nclk offset = 75000 Hz\nclk bias = 123456 ns\n"
              "est. time = 360000.123 s");
}

// Unsigned in the record: the largest values print as they are, not as negative numbers.
TEST(PollAnswerText, ClockStatusPrintsTheRecordsUnsignedValues) {
    const ClockStatus status{65535, 4294967295u, 255, 4294967295u, 4294967295u, 4294967295u};
    EXPECT_EQ(ClockStatusText(status),
              "GPS week = 65535\nGPS time = 42949672.95 s\nsv cnt = 255\nclk offset = 4294967295 Hz\n"
              "clk bias = 4294967295 ns\nest. time = 4294967.295 s");
}

TEST(PollAnswerText, VersionTextEndsAtItsTerminatorOrTheRecord) {
    SwVersion version{};
    std::strcpy(version.Text, "VX2.2.0");
    EXPECT_EQ(SwVersionText(version), "VX2.2.0");
    std::memset(version.Text, 'x', sizeof version.Text);
    EXPECT_EQ(SwVersionText(version), std::string(sizeof version.Text, 'x'));
}

}  // namespace
}  // namespace vexa
