#pragma once

#include <QColor>

#include "receiver/fix/gnss_fix.h"
#include "receiver/binary/records.h"

namespace vexa {

// The colour of a tracking channel's satellite: green when it is used in the fix, cyan for a
// number above 99 while differential corrections are used, blue while tracked, red otherwise.
QColor SatelliteColour(const TrackChannel& channel, const NavData* nav);

// The same rules for a satellite of a receiver of many systems: green when used in the fix, cyan for an
// SBAS satellite while the fix is differential, blue while its signal is heard, red otherwise.
QColor SatelliteColour(const SkySatellite& satellite, const GnssFix* fix);

}  // namespace vexa
