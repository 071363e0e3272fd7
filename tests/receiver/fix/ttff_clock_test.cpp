#include "receiver/fix/ttff_clock.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

using namespace std::chrono_literals;

TEST(TtffClock, CountsFromTheStartUntilTheFirstFix) {
    const SteadyTime start{100s};
    TtffClock clock;
    EXPECT_FALSE(clock.counting(start));
    EXPECT_FALSE(clock.fixed(start));

    clock.start(start);
    EXPECT_EQ(clock.counting(start), "0 sec");
    EXPECT_EQ(clock.counting(start + 59999ms), "59 sec");
    EXPECT_EQ(clock.counting(start - 5s), "0 sec");  // a clock read a little early never goes negative
    EXPECT_DOUBLE_EQ(clock.fixed(start + 61300ms).value_or(0), 61.3);
    EXPECT_FALSE(clock.counting(start + 62s));
    EXPECT_FALSE(clock.fixed(start + 63s)) << "only the first fix is measured";

    clock.start(start + 100s);  // a reset command
    EXPECT_EQ(clock.counting(start + 107s), "7 sec");
    clock.receiverReported();
    EXPECT_FALSE(clock.counting(start + 108s));
    EXPECT_FALSE(clock.fixed(start + 109s));

    clock.start(start);
    clock.stop();  // the link is gone
    EXPECT_FALSE(clock.counting(start + 1s));
}

}  // namespace
}  // namespace vexa
