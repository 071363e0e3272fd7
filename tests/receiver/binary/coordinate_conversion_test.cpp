#include "receiver/binary/coordinate_conversion.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vexa {
namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;

NavData Nav(std::int32_t x, std::int32_t y, std::int32_t z, std::int16_t vx = 0, std::int16_t vy = 0,
            std::int16_t vz = 0) {
    NavData nav{};
    nav.X = x;
    nav.Y = y;
    nav.Z = z;
    nav.VX = vx;
    nav.VY = vy;
    nav.VZ = vz;
    return nav;
}

struct Geodetic {
    double latitude, longitude, altitude, speed, heading;
};

Geodetic Convert(const NavData& nav) {
    Geodetic g{};
    NavToGeodetic(nav, &g.latitude, &g.longitude, &g.altitude, &g.speed, &g.heading);
    return g;
}

// Geodetic to ECEF in closed form, the other way round from the code under test.
void ToEcef(double latitudeDegrees, double longitudeDegrees, double height, double& x, double& y, double& z) {
    const double a = 6378137.0;
    const double e2 = 0.0066943799901413165;
    const double lat = latitudeDegrees * kRadiansPerDegree;
    const double lon = longitudeDegrees * kRadiansPerDegree;
    const double n = a / std::sqrt(1.0 - e2 * std::sin(lat) * std::sin(lat));
    x = (n + height) * std::cos(lat) * std::cos(lon);
    y = (n + height) * std::cos(lat) * std::sin(lon);
    z = (n * (1.0 - e2) + height) * std::sin(lat);
}

TEST(CoordinateConversion, AxisPoints) {
    struct Case {
        const char* legend;
        NavData nav;
        double latitude, longitude, altitude;
    };
    const Case cases[] = {
        {"equator, prime meridian", Nav(6378137, 0, 0), 0.0, 0.0, 0.0},
        {"equator, 90 east", Nav(0, 6378137, 0), 0.0, 90.0, 0.0},
        {"equator, 180", Nav(-6378137, 0, 0), 0.0, 180.0, 0.0},
        {"north pole", Nav(0, 0, 6356752), 90.0, 0.0, -0.314},
        {"south pole", Nav(0, 0, -6356752), -90.0, 0.0, -0.314},
    };
    for (const Case& c : cases) {
        const Geodetic g = Convert(c.nav);
        EXPECT_NEAR(g.latitude, c.latitude, 1e-9) << c.legend;
        EXPECT_NEAR(g.longitude, c.longitude, 1e-9) << c.legend;
        EXPECT_NEAR(g.altitude, c.altitude, 0.01) << c.legend;
    }
}

TEST(CoordinateConversion, RoundTripsThroughEcef) {
    const double points[][3] = {{37.3875, -121.9720, 25.0}, {-33.9, 151.2, 3000.0}, {89.5, 10.0, 0.0}, {0.001, 0.0, -50.0}};
    for (const auto& point : points) {
        double x, y, z;
        ToEcef(point[0], point[1], point[2], x, y, z);
        const GeodeticRadians g = EcefToGeodetic(x, y, z);
        EXPECT_NEAR(g.latitude / kRadiansPerDegree, point[0], 1e-9) << point[0];
        EXPECT_NEAR(g.longitude / kRadiansPerDegree, point[1], 1e-9) << point[1];
        EXPECT_NEAR(g.height, point[2], 1e-3) << point[0];
    }
}

TEST(CoordinateConversion, SpeedAndHeading) {
    struct Case {
        const char* legend;
        NavData nav;
        double speed, heading;
    };
    const Case cases[] = {
        {"north at the origin", Nav(6378137, 0, 0, 0, 0, 8), 1.0, 0.0},
        {"east at the origin", Nav(6378137, 0, 0, 0, 16, 0), 2.0, 90.0},
        {"south at the origin", Nav(6378137, 0, 0, 0, 0, -8), 1.0, 180.0},
        {"west at the origin", Nav(6378137, 0, 0, 0, -8, 0), 1.0, 270.0},
        {"west at 90 east", Nav(0, 6378137, 0, 8, 0, 0), 1.0, 270.0},
        {"standing still", Nav(6378137, 0, 0), 0.0, 0.0},
        {"fastest (32-bit squares overflow)", Nav(6378137, 0, 0, 32767, 32767, 32767), 32767 * std::sqrt(3.0) / 8, 45.0},
        {"slowest", Nav(6378137, 0, 0, -32768, -32768, -32768), 32768 * std::sqrt(3.0) / 8, 225.0},
    };
    for (const Case& c : cases) {
        const Geodetic g = Convert(c.nav);
        EXPECT_NEAR(g.speed, c.speed, 1e-9) << c.legend;
        EXPECT_NEAR(g.heading, c.heading, 1e-9) << c.legend;
        EXPECT_GE(g.heading, 0.0) << c.legend;
        EXPECT_FALSE(std::signbit(g.heading)) << c.legend;
        EXPECT_LT(g.heading, 360.0) << c.legend;
    }
}

TEST(CoordinateConversion, OnlyRequestedOutputsAreWritten) {
    double speed = -1.0;
    double heading = -1.0;
    NavToGeodetic(Nav(6378137, 0, 0, 0, 0, 8), nullptr, nullptr, nullptr, &speed, nullptr);
    EXPECT_DOUBLE_EQ(speed, 1.0);
    NavToGeodetic(Nav(6378137, 0, 0, 0, 8, 0), nullptr, nullptr, nullptr, nullptr, &heading);
    EXPECT_NEAR(heading, 90.0, 1e-9);
}

TEST(CoordinateConversion, MetresPerDegreeLongitude) {
    EXPECT_NEAR(MetresPerDegreeLongitude(60.0), 55599.6165, 5e-5);
    EXPECT_DOUBLE_EQ(MetresPerDegreeLongitude(0.0), 111199.233);
    EXPECT_NEAR(MetresPerDegreeLongitude(90.0), 0.0, 1e-9);
}

}  // namespace
}  // namespace vexa
