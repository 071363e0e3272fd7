#pragma once

#include <vector>

#include "receiver/fix/gnss_fix.h"

namespace vexa {

// The satellites a receiver of many systems gets in the pages' twelve places: those used in the fix
// first, then the strongest. Within each group the strongest C/N0 leads; satellites without one come last.
std::vector<SkySatellite> SatellitesForTwelvePlaces(const GnssSky& sky);

}  // namespace vexa
