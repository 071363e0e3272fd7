#include "evaluation/local_frame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace vexa {
namespace {

// Worked out by hand on the WGS-84 ellipsoid (a = 6378137 m, e^2 = 0.00669437999014) for a step of
// d = 0.001 degree: along the equator east = a sin(d), up = a (cos(d) - 1); along a meridian
// north = M d with M = a (1 - e^2) / (1 - e^2 sin^2(lat))^1.5 taken halfway, and the same drop.
TEST(LocalFrame, OffsetsOfHandWorkedPoints) {
    struct Case {
        const char* legend;
        GeodeticPoint origin;
        GeodeticPoint point;
        double east, north, up;
    };
    const Case cases[] = {
        {"equator, a step east", {0.0, 0.0, 0.0}, {0.0, 0.001, 0.0}, 111.319491, 0.0, -0.000971},
        {"equator, 10 m up", {0.0, 0.0, 0.0}, {0.0, 0.0, 10.0}, 0.0, 0.0, 10.0},
        {"across the antimeridian, east", {0.0, 179.9995, 0.0}, {0.0, -179.9995, 0.0}, 111.319491, 0.0, -0.000971},
        {"the same, seen from the other side", {0.0, -179.9995, 0.0}, {0.0, 179.9995, 0.0}, -111.319491, 0.0, -0.000971},
        {"north pole, down meridian 0 is south", {90.0, 0.0, 0.0}, {89.999, 0.0, 0.0}, 0.0, -111.693980, -0.000975},
        {"north pole, down meridian 90 is east", {90.0, 0.0, 0.0}, {89.999, 90.0, 0.0}, 111.693980, 0.0, -0.000975},
        {"south pole, up meridian 0 is north", {-90.0, 0.0, 0.0}, {-89.999, 0.0, 0.0}, 0.0, 111.693980, -0.000975},
        {"45 north, a step north", {45.0, 10.0, 0.0}, {45.001, 10.0, 0.0}, 0.0, 111.131787, -0.000970},
        {"a height offset alone", {-33.9, 151.2, 50.0}, {-33.9, 151.2, 60.5}, 0.0, 0.0, 10.5},
    };
    for (const Case& c : cases) {
        const EnuOffset offset = LocalFrame(c.origin).OffsetOf(c.point);
        EXPECT_NEAR(offset.east, c.east, 1e-5) << c.legend;
        EXPECT_NEAR(offset.north, c.north, 1e-5) << c.legend;
        ASSERT_TRUE(offset.up) << c.legend;
        EXPECT_NEAR(*offset.up, c.up, 1e-5) << c.legend;
    }
}

TEST(LocalFrame, PointAtTakesAnOffsetBackToThePoint) {
    const GeodeticPoint origins[] = {{47.3769, 8.5417, 408.2}, {-33.9, 151.2, 50.0}, {0.0, 179.9999, 0.0}, {89.9999, 45.0, 10.0}};
    const EnuOffset offsets[] = {{3.25, -4.5, 1.125}, {-250.0, 1000.0, -30.0}, {0.001, 0.002, std::nullopt}};
    for (const GeodeticPoint& origin : origins) {
        const LocalFrame frame(origin);
        for (const EnuOffset& offset : offsets) {
            const EnuOffset again = frame.OffsetOf(frame.PointAt(offset));
            EXPECT_NEAR(again.east, offset.east, 1e-6) << origin.latitude;
            EXPECT_NEAR(again.north, offset.north, 1e-6) << origin.latitude;
            if (offset.up) EXPECT_NEAR(*again.up, *offset.up, 1e-6) << origin.latitude;
        }
        EXPECT_DOUBLE_EQ(frame.PointAt({1.0, 1.0, std::nullopt}).height, origin.height) << "no up: the origin's height";
    }
}

TEST(LocalFrame, HorizontalAndThreeDErrors) {
    EXPECT_DOUBLE_EQ((EnuOffset{3.0, -4.0, 12.0}).Horizontal(), 5.0);
    EXPECT_DOUBLE_EQ(*(EnuOffset{3.0, -4.0, 12.0}).ThreeD(), 13.0);
    EXPECT_FALSE((EnuOffset{3.0, 4.0, std::nullopt}).ThreeD());
}

}  // namespace
}  // namespace vexa
