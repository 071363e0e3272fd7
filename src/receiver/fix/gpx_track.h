#pragma once

#include <optional>
#include <span>
#include <string>

#include "receiver/fix/gnss_fix.h"

namespace vexa {

// One fix of a track: what a GPX track point holds.
struct TrackPoint {
    std::optional<UtcTime> time;
    double latitude = 0;   // degrees, north positive
    double longitude = 0;  // degrees, east positive
    std::optional<double> elevation;  // metres, above mean sea level where the receiver said so
    FixMode mode = FixMode::NoFix;
    FixQuality quality = FixQuality::Unknown;
    std::optional<int> satellites;
    std::optional<double> hdop;
    bool startsSegment = false;  // the first fix of a new connection: the track has a gap before it
};

// The track point of a fix with a position; nothing for one without.
std::optional<TrackPoint> TrackPointOf(const GnssFix& fix);

// A GPX 1.1 document holding the points as one track, in the order given: a new segment begins at
// each point that starts one.
std::string GpxDocument(std::span<const TrackPoint> points);

}  // namespace vexa
