#include "sim/geodesy.h"

#include <cmath>
#include <numbers>

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
    const double latitude = at.latitudeDeg * kRadiansPerDegree;
    const double longitude = at.longitudeDeg * kRadiansPerDegree;
    const double sinLat = std::sin(latitude), cosLat = std::cos(latitude);
    const double sinLon = std::sin(longitude), cosLon = std::cos(longitude);
    return {-sinLon * vector.east - sinLat * cosLon * vector.north + cosLat * cosLon * vector.up,
            cosLon * vector.east - sinLat * sinLon * vector.north + cosLat * sinLon * vector.up,
            cosLat * vector.north + sinLat * vector.up};
}

}  // namespace vexa::sim
