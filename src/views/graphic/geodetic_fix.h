#pragma once

#include <functional>
#include <optional>

namespace vexa {

// The receiver's latest position as the views show it.
struct GeodeticFix {
    double latitude = 0.0;   // degrees, north positive
    double longitude = 0.0;  // degrees, east positive
    double altitude = 0.0;   // metres above the ellipsoid
};

// Reads the navigation record under the model lock and converts it; nothing while there is none
// (not connected, or NMEA) or while it holds no fix: before its first fix the receiver reports
// X = Y = Z = 0, which would read as the north pole.
using GeodeticFixReader = std::function<std::optional<GeodeticFix>()>;

class GpsComm;

// The reader of the receiver link's navigation record; the link must outlive it.
GeodeticFixReader ReadFixFrom(GpsComm& comm);

}  // namespace vexa
