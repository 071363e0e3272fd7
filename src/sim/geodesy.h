#pragma once

namespace vexa::sim {

struct Geodetic {
    double latitudeDeg = 0;
    double longitudeDeg = 0;
    double altitudeM = 0;  // above the WGS-84 ellipsoid
};

struct Vector3 {
    double x = 0;
    double y = 0;
    double z = 0;
};

// Local east, north and up components (metres or metres per second).
struct EastNorthUp {
    double east = 0;
    double north = 0;
    double up = 0;
};

Vector3 GeodeticToEcef(const Geodetic& point);

// The point `offset` away from `origin`; exact enough for the few hundred metres of a walk.
Geodetic OffsetGeodetic(const Geodetic& origin, const EastNorthUp& offset);

// Rotates a local vector at `at` into Earth-centred, Earth-fixed axes.
Vector3 EnuToEcef(const Geodetic& at, const EastNorthUp& vector);

}  // namespace vexa::sim
