#pragma once

#include <array>

#include "receiver/binary/records.h"

namespace vexa {

struct GeodeticRadians {
    double latitude = 0.0;
    double longitude = 0.0;
    double height = 0.0;  // metres above the WGS-84 ellipsoid
};

// Rows: the north, east and down unit vectors in ECEF.
using Rotation = std::array<std::array<double, 3>, 3>;

GeodeticRadians EcefToGeodetic(double x, double y, double z);
Rotation LocalNorthEastDown(double latitude, double longitude);

// Latitude and longitude in degrees, altitude in metres, speed in m/s, heading in degrees
// clockwise from true north in [0, 360). Only the outputs that are not null are computed.
void NavToGeodetic(const NavData& nav, double* latitude, double* longitude, double* altitude, double* speed,
                   double* heading);

double MetresPerDegreeLongitude(double latitudeDegrees);

}  // namespace vexa
