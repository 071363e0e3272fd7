#include "receiver/binary/line_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

namespace vexa {
namespace {

std::string Printf(const char* format, auto... values) {
    char text[kRenderBufferSize];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

template <class Write>
std::string Written(Write write) {
    char line[kRenderBufferSize];
    LineWriter writer(line);
    write(writer);
    return line;
}

// The lines must read exactly as the C library's printf wrote them, digit for digit.
TEST(LineWriter, IntegersReadAsPrintf) {
    const std::int64_t values[] = {0, 1, -1, 9, 10, -10, 255, 65535, -32768, 2147483647, -2147483647 - 1,
                                   4294967295, std::numeric_limits<std::int64_t>::max(),
                                   std::numeric_limits<std::int64_t>::min()};
    for (const std::int64_t value : values) {
        const long long printed = value;
        EXPECT_EQ(Written([&](LineWriter& w) { w.integer(value); }), Printf("%lld", printed)) << value;
        EXPECT_EQ(Written([&](LineWriter& w) { w.nextInteger(value); }), Printf(",%lld", printed)) << value;
        for (const int width : {2, 3, 4}) {
            EXPECT_EQ(Written([&](LineWriter& w) { w.integer(value, width); }), Printf("%0*lld", width, printed))
                << value << " width " << width;
        }
    }
}

TEST(LineWriter, HexReadsAsPrintf) {
    for (const std::uint32_t value : {0u, 7u, 0x3Fu, 0xBFu, 0xABCu, 0xFFFFFFFFu}) {
        EXPECT_EQ(Written([&](LineWriter& w) { w.hex(value, 2); }), Printf("%02x", value)) << value;
        EXPECT_EQ(Written([&](LineWriter& w) { w.hex(value, 2, true); }), Printf("%02X", value)) << value;
    }
}

// Ties between two decimals (0.0625 to three places) round to even in both; zero keeps its sign;
// the values outside the numbers print as the C library names them.
TEST(LineWriter, FloatingValuesReadAsPrintf) {
    const double values[] = {0.0,
                             -0.0,
                             0.0625,
                             -0.0625,
                             0.125,
                             0.25,
                             0.35,
                             2.5,
                             -4096.0,
                             1.0 / 3.0,
                             6378137.0,
                             123456789.98765432,
                             1e300,
                             -1e-300,
                             std::numeric_limits<double>::denorm_min(),
                             std::numeric_limits<double>::max(),
                             static_cast<double>(std::numeric_limits<float>::max()),
                             static_cast<double>(-32768 * 0.125f),
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN(),
                             -std::numeric_limits<double>::quiet_NaN()};
    for (const double value : values) {
        EXPECT_EQ(Written([&](LineWriter& w) { w.scientific(value, 10); }), Printf("%.10e", value)) << value;
        EXPECT_EQ(Written([&](LineWriter& w) { w.scientific(value, 11); }), Printf("%.11e", value)) << value;
        EXPECT_EQ(Written([&](LineWriter& w) { w.fixed(value, 3); }), Printf("%.3f", value)) << value;
        EXPECT_EQ(Written([&](LineWriter& w) { w.fixed(value, 1); }), Printf("%.1f", value)) << value;
    }
}

// Whatever does not fit is cut where printf into the same room would cut it; the line stays terminated.
TEST(LineWriter, CutsAtTheEndOfTheLine) {
    const std::string filler(kRenderBufferSize - 6, 'x');
    const auto nearlyFull = [&](auto write) {
        return Written([&](LineWriter& w) {
            w.text(filler);
            write(w);
        });
    };
    EXPECT_EQ(nearlyFull([](LineWriter& w) { w.integer(-1234567); }), filler + "-1234");
    EXPECT_EQ(nearlyFull([](LineWriter& w) { w.integer(-7, 9); }), filler + "-0000");
    EXPECT_EQ(nearlyFull([](LineWriter& w) { w.scientific(-1.5e-300, 10); }), filler + "-1.50");
    EXPECT_EQ(nearlyFull([](LineWriter& w) { w.fixed(1e300, 3); }), filler + "10000");
    EXPECT_EQ(nearlyFull([](LineWriter& w) { w.hex(0xABCDEF, 2, true); }), filler + "ABCDE");
    EXPECT_EQ(nearlyFull([](LineWriter& w) {
                  w.text("12345");
                  w.integer(6);
                  w.character('7');
              }),
              filler + "12345");
}

}  // namespace
}  // namespace vexa
