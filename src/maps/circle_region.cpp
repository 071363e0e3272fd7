#include "maps/circle_region.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "maps/map_viewport.h"

namespace vexa {

namespace {

constexpr int kCircleVertices = 36;

}  // namespace

VectorFeature MakeCircularRegion(const GeoPoint& center, double radiusMiles, const RegionStyle& style) {
    const double radiusMetres = std::isfinite(radiusMiles) ? std::max(radiusMiles, 0.0) * kMetresPerStatuteMile : 0.0;
    const double radiusY = radiusMetres / kMetresPerDegreeLatitude;
    const double radiusX = radiusMetres / MetresPerDegreeLongitudeAt(center.y);
    std::vector<GeoPoint> ring;
    ring.reserve(kCircleVertices + 1);
    for (int i = 0; i <= kCircleVertices; ++i) {
        const double angle = 2.0 * std::numbers::pi * (i % kCircleVertices) / kCircleVertices;
        ring.push_back({center.x + radiusX * std::cos(angle), center.y + radiusY * std::sin(angle)});
    }
    VectorFeature region;
    region.kind = GeometryKind::kPolygon;
    region.AddPart(ring);
    region.regionStyle = style;
    return region;
}

}  // namespace vexa
