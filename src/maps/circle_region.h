#pragma once

#include "maps/vector_layer.h"

namespace vexa {

inline constexpr double kMetresPerStatuteMile = 1609.344;

// A circular region around a centre, its radius in statute miles, drawn in the given colours.
VectorFeature MakeCircularRegion(const GeoPoint& center, double radiusMiles, const RegionStyle& style);

}  // namespace vexa
