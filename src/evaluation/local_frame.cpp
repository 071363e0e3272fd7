#include "evaluation/local_frame.h"

#include <cmath>
#include <numbers>

namespace vexa {

namespace {

constexpr double kSemiMajorAxis = 6378137.0;
constexpr double kFirstEccentricitySquared = 0.0066943799901413165;
constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

}  // namespace

double EnuOffset::Horizontal() const { return std::hypot(east, north); }

std::optional<double> EnuOffset::ThreeD() const {
    if (!up) return std::nullopt;
    return std::hypot(east, north, *up);
}

LocalFrame::LocalFrame(const GeodeticPoint& origin)
    : origin_(origin),
      originEcef_(ToEcef(origin)),
      northEastDown_(LocalNorthEastDown(origin.latitude * kRadiansPerDegree, origin.longitude * kRadiansPerDegree)) {}

LocalFrame::Ecef LocalFrame::ToEcef(const GeodeticPoint& point) {
    const double latitude = point.latitude * kRadiansPerDegree;
    const double longitude = point.longitude * kRadiansPerDegree;
    const double sinLatitude = std::sin(latitude);
    const double primeVertical = kSemiMajorAxis / std::sqrt(1.0 - kFirstEccentricitySquared * sinLatitude * sinLatitude);
    const double fromAxis = (primeVertical + point.height) * std::cos(latitude);
    return {fromAxis * std::cos(longitude), fromAxis * std::sin(longitude),
            (primeVertical * (1.0 - kFirstEccentricitySquared) + point.height) * sinLatitude};
}

EnuOffset LocalFrame::OffsetOf(const GeodeticPoint& point) const {
    const Ecef ecef = ToEcef(point);
    const double dx = ecef.x - originEcef_.x;
    const double dy = ecef.y - originEcef_.y;
    const double dz = ecef.z - originEcef_.z;
    const auto along = [&](int row) { return northEastDown_[row][0] * dx + northEastDown_[row][1] * dy + northEastDown_[row][2] * dz; };
    return {along(1), along(0), -along(2)};
}

GeodeticPoint LocalFrame::PointAt(const EnuOffset& offset) const {
    const double down = -offset.up.value_or(0.0);
    const double local[3] = {offset.north, offset.east, down};
    // The rotation is orthonormal: its transpose takes the offset back to ECEF.
    const auto axis = [&](int column) {
        return northEastDown_[0][column] * local[0] + northEastDown_[1][column] * local[1] + northEastDown_[2][column] * local[2];
    };
    const GeodeticRadians point = EcefToGeodetic(originEcef_.x + axis(0), originEcef_.y + axis(1), originEcef_.z + axis(2));
    return {point.latitude / kRadiansPerDegree, point.longitude / kRadiansPerDegree,
            offset.up ? point.height : origin_.height};
}

}  // namespace vexa
