#include "evaluation/reference_point.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

TEST(ReferencePoint, TextsThatGiveAPoint) {
    struct Case {
        const char* text;
        GeodeticPoint point;
    };
    const Case cases[] = {
        {"47.3769,8.5417,408.2", {47.3769, 8.5417, 408.2}},
        {" -33.9 , 151.2 ,\t50 ", {-33.9, 151.2, 50.0}},
        {"+12.5,-0.25,0", {12.5, -0.25, 0.0}},
        {"90,180,-1000", {90.0, 180.0, -1000.0}},
        {"-90,-180,100000", {-90.0, -180.0, 100000.0}},
        {"1e1,2E1,3.5e2", {10.0, 20.0, 350.0}},
    };
    for (const Case& c : cases) {
        const ParsedReference parsed = ParseReferencePoint(c.text);
        ASSERT_TRUE(parsed.point) << c.text << ": " << parsed.message;
        EXPECT_EQ(parsed.message, "") << c.text;
        EXPECT_DOUBLE_EQ(parsed.point->latitude, c.point.latitude) << c.text;
        EXPECT_DOUBLE_EQ(parsed.point->longitude, c.point.longitude) << c.text;
        EXPECT_DOUBLE_EQ(parsed.point->height, c.point.height) << c.text;
    }
}

TEST(ReferencePoint, TextsThatAreRefusedWithTheReason) {
    const std::string shape = "expected LAT,LON,H (degrees, degrees, metres above the WGS-84 ellipsoid)";
    struct Case {
        const char* text;
        std::string message;
    };
    const Case cases[] = {
        {"", "reference point \"\": " + shape},
        {"47,8", "reference point \"47,8\": " + shape},
        {"47,8,400,1", "reference point \"47,8,400,1\": " + shape},
        {"51,5,0,10", "reference point \"51,5,0,10\": " + shape},
        {"47;8;400", "reference point \"47;8;400\": " + shape},
        {"abc,8,400", "reference point \"abc,8,400\": the latitude \"abc\" is not a number"},
        {"47,8,", "reference point \"47,8,\": the height \"\" is not a number"},
        {"47,8,400m", "reference point \"47,8,400m\": the height \"400m\" is not a number"},
        {"47,8 5,0", "reference point \"47,8 5,0\": the longitude \"8 5\" is not a number"},
        {"47,++8,0", "reference point \"47,++8,0\": the longitude \"++8\" is not a number"},
        {"91,0,0", "reference point \"91,0,0\": the latitude 91 is outside -90 to 90 degrees"},
        {"0,180.0001,0", "reference point \"0,180.0001,0\": the longitude 180.0001 is outside -180 to 180 degrees"},
        {"0,0,100001", "reference point \"0,0,100001\": the height 100001 is outside -1000 to 100000 metres above the ellipsoid"},
        {"nan,0,0", "reference point \"nan,0,0\": the latitude nan is not a finite number"},
        {"0,-inf,0", "reference point \"0,-inf,0\": the longitude -inf is not a finite number"},
        {"0,0,\x01", "reference point \"0,0,?\": the height \"?\" is not a number"},
    };
    for (const Case& c : cases) {
        const ParsedReference parsed = ParseReferencePoint(c.text);
        EXPECT_FALSE(parsed.point) << c.text;
        EXPECT_EQ(parsed.message, c.message);
    }
    const std::string longText(200, '7');
    EXPECT_EQ(ParseReferencePoint(longText).message, "reference point \"" + std::string(60, '7') + "...\": " + shape);
}

TEST(ReferencePoint, PointsCheckedAsTheyAreEntered) {
    EXPECT_EQ(WhyNotAReference({47.0, 8.0, 400.0}), "");
    EXPECT_EQ(WhyNotAReference({-90.5, 8.0, 400.0}), "the latitude -90.5 is outside -90 to 90 degrees");
    EXPECT_EQ(WhyNotAReference({0.0, 0.0, -1500.0}), "the height -1500 is outside -1000 to 100000 metres above the ellipsoid");
}

}  // namespace
}  // namespace vexa
