#pragma once

#include <optional>

#include "receiver/binary/coordinate_conversion.h"

namespace vexa {

// A position on the WGS-84 ellipsoid.
struct GeodeticPoint {
    double latitude = 0.0;   // degrees, north positive
    double longitude = 0.0;  // degrees, east positive
    double height = 0.0;     // metres above the ellipsoid
};

// An offset in a local east-north-up frame, in metres. `up` is empty where the height is not known.
struct EnuOffset {
    double east = 0.0;
    double north = 0.0;
    std::optional<double> up;

    double Horizontal() const;
    std::optional<double> ThreeD() const;
};

// The tangent frame at an origin: points are taken to ECEF and the difference from the origin is
// rotated into east, north and up there, so the offsets hold across the poles and the antimeridian.
class LocalFrame {
public:
    explicit LocalFrame(const GeodeticPoint& origin);

    const GeodeticPoint& Origin() const { return origin_; }
    EnuOffset OffsetOf(const GeodeticPoint& point) const;
    // The other way: the point at an offset; an empty up gives the origin's height.
    GeodeticPoint PointAt(const EnuOffset& offset) const;

private:
    struct Ecef {
        double x, y, z;
    };
    static Ecef ToEcef(const GeodeticPoint& point);

    GeodeticPoint origin_;
    Ecef originEcef_;
    Rotation northEastDown_;
};

}  // namespace vexa
