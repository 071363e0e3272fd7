#pragma once

#include <QColor>

#include "receiver/records.h"

namespace vexa {

// The colour of a tracking channel's satellite: green when it is used in the fix, cyan for a
// number above 99 while differential corrections are used, blue while tracked, red otherwise.
QColor SatelliteColour(const TrackChannel& channel, const NavData* nav);

}  // namespace vexa
