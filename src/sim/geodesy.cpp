#include "sim/geodesy.h"

#include <cmath>
#include <numbers>

#include "receiver/binary/coordinate_conversion.h"

namespace vexa::sim {
namespace {

constexpr double kSemiMajorAxis = 6378137.0;
constexpr double kEccentricitySquared = 0.0066943799901413165;
constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

double PrimeVerticalRadius(double sinLatitude) {
    return kSemiMajorAxis / std::sqrt(1.0 - kEccentricitySquared * sinLatitude * sinLatitude);
}

}  // namespace

Vector3 GeodeticToEcef(const Geodetic& point) {
    const double latitude = point.latitudeDeg * kRadiansPerDegree;
    const double longitude = point.longitudeDeg * kRadiansPerDegree;
    const double sinLatitude = std::sin(latitude);
    const double radius = PrimeVerticalRadius(sinLatitude);
    const double horizontal = (radius + point.altitudeM) * std::cos(latitude);
    return {horizontal * std::cos(longitude), horizontal * std::sin(longitude),
            (radius * (1.0 - kEccentricitySquared) + point.altitudeM) * sinLatitude};
}

Geodetic OffsetGeodetic(const Geodetic& origin, const EastNorthUp& offset) {
    const double sinLatitude = std::sin(origin.latitudeDeg * kRadiansPerDegree);
    const double denominator = 1.0 - kEccentricitySquared * sinLatitude * sinLatitude;
    const double meridianRadius = kSemiMajorAxis * (1.0 - kEccentricitySquared) / std::pow(denominator, 1.5);
    const double parallelRadius = PrimeVerticalRadius(sinLatitude) * std::cos(origin.latitudeDeg * kRadiansPerDegree);
    return {origin.latitudeDeg + offset.north / (meridianRadius + origin.altitudeM) / kRadiansPerDegree,
            origin.longitudeDeg + offset.east / (parallelRadius + origin.altitudeM) / kRadiansPerDegree,
            origin.altitudeM + offset.up};
}

Vector3 EnuToEcef(const Geodetic& at, const EastNorthUp& vector) {
    const Rotation northEastDown = LocalNorthEastDown(at.latitudeDeg * kRadiansPerDegree,
                                                      at.longitudeDeg * kRadiansPerDegree);
    const auto component = [&](int axis) {
        return northEastDown[0][axis] * vector.north + northEastDown[1][axis] * vector.east -
               northEastDown[2][axis] * vector.up;
    };
    return {component(0), component(1), component(2)};
}

}  // namespace vexa::sim
