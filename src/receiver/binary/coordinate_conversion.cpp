#include "receiver/binary/coordinate_conversion.h"

#include <cmath>
#include <cstdint>

namespace vexa {
namespace {

// WGS-84 and the powers of its first eccentricity.
constexpr double kSemiMajorAxis = 6378137.0;
constexpr double kInverseAxisSquared = 2.458172257647332e-14;
constexpr double kE2 = 0.0066943799901413165;
constexpr double kOneMinusE2 = 0.9933056200098587;
constexpr double kE4 = 4.481472345240445e-05;
constexpr double kTwoE4 = 8.96294469048089e-05;
constexpr double kE6 = 3.000067879434931e-07;
constexpr double kE8 = 2.0083594381154893e-09;
constexpr double kE4PlusTwoE6 = 4.5414737028291434e-05;
constexpr double kOneMinusE2OverE2 = 148.3790315865966;
constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr double kMetresPerDegreeAtEquator = 111199.233;
constexpr double kVelocityUnit = 0.125;  // m/s per velocity count
constexpr double kHalfPi = 1.5707963267948966;

double HeadingDegrees(double east, double north) {
    double heading = std::atan2(east, north) * kDegreesPerRadian;
    if (heading < 0.0) heading += 360.0;
    // A tiny negative angle can round up to 360; + 0.0 turns -0 into 0.
    return heading >= 360.0 ? 0.0 : heading + 0.0;
}

}  // namespace

GeodeticRadians EcefToGeodetic(double x, double y, double z) {
    const double p = (x * x + y * y) * kInverseAxisSquared;
    const double zz = z * z * kInverseAxisSquared;
    const double q = zz * kOneMinusE2;
    const double c = p + q - kE4;

    // Newton's method on q k^4 + 2q k^3 + c k^2 - 2e^4 k - e^4, from k = e^2, three steps.
    double kappa = kE2;
    kappa -= (c * kE4 + 2.0 * q * kE6 + q * kE8 - kE4PlusTwoE6) / (2.0 * c * kE2 + 6.0 * q * kE4 + 4.0 * q * kE6 - kTwoE4);
    for (int step = 0; step < 2; ++step) {
        const double k2 = kappa * kappa;
        const double k3 = k2 * kappa;
        const double f = q * k2 * k2 + 2.0 * q * k3 + c * k2 - kTwoE4 * kappa - kE4;
        const double derivative = 4.0 * q * k3 + 6.0 * q * k2 + 2.0 * c * kappa - kTwoE4;
        kappa -= f / derivative;
    }
    const double k = kappa + 1.0;

    GeodeticRadians result;
    if (x == 0.0 && y == 0.0) {
        result.latitude = z < 0.0 ? -kHalfPi : kHalfPi;
        result.longitude = 0.0;
    } else {
        result.latitude = std::atan2(k * z, std::sqrt(x * x + y * y));
        result.longitude = std::atan2(y, x);
    }
    result.height = kSemiMajorAxis * std::sqrt(p / (k * k) + zz) * (1.0 - kappa * kOneMinusE2OverE2);
    return result;
}

Rotation LocalNorthEastDown(double latitude, double longitude) {
    const double sinLat = std::sin(latitude);
    const double cosLat = std::cos(latitude);
    const double sinLon = std::sin(longitude);
    const double cosLon = std::cos(longitude);
    return {{{-sinLat * cosLon, -sinLat * sinLon, cosLat},
             {-sinLon, cosLon, 0.0},
             {-cosLat * cosLon, -cosLat * sinLon, -sinLat}}};
}

void NavToGeodetic(const NavData& nav, double* latitude, double* longitude, double* altitude, double* speed,
                   double* heading) {
    if (latitude != nullptr || longitude != nullptr || altitude != nullptr || heading != nullptr) {
        const GeodeticRadians position = EcefToGeodetic(nav.X, nav.Y, nav.Z);
        if (heading != nullptr) {
            const Rotation ned = LocalNorthEastDown(position.latitude, position.longitude);
            const double vx = nav.VX;
            const double vy = nav.VY;
            const double vz = nav.VZ;
            const double north = vx * ned[0][0] + vy * ned[0][1] + vz * ned[0][2];
            const double east = vx * ned[1][0] + vy * ned[1][1] + vz * ned[1][2];
            *heading = HeadingDegrees(east, north);
        }
        if (latitude != nullptr) *latitude = position.latitude * kDegreesPerRadian;
        if (longitude != nullptr) *longitude = position.longitude * kDegreesPerRadian;
        if (altitude != nullptr) *altitude = position.height;
    }
    if (speed != nullptr) {
        // 64 bits: three squared 16-bit components overflow 32 bits.
        const std::int64_t vx = nav.VX;
        const std::int64_t vy = nav.VY;
        const std::int64_t vz = nav.VZ;
        *speed = std::sqrt(static_cast<double>(vx * vx + vy * vy + vz * vz)) * kVelocityUnit;
    }
}

double MetresPerDegreeLongitude(double latitudeDegrees) {
    return kMetresPerDegreeAtEquator * std::cos(latitudeDegrees * kRadiansPerDegree);
}

}  // namespace vexa
