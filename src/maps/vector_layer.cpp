#include "maps/vector_layer.h"

#include <algorithm>

namespace vexa {

void VectorFeature::AddPart(const std::vector<GeoPoint>& part) {
    if (part.empty()) return;
    points.insert(points.end(), part.begin(), part.end());
    partEnds.push_back(static_cast<std::uint32_t>(points.size()));
    for (const GeoPoint& point : part) bounds.Include(point);
}

VectorFeature VectorLayer::AddFeature(VectorFeature feature) {
    feature.key = std::to_string(nextKey_++);
    bounds_.Include(feature.bounds);
    features_.push_back(feature);
    return feature;
}

bool VectorLayer::UpdateFeature(const std::string& key, const VectorFeature& replacement) {
    const auto found = std::find_if(features_.begin(), features_.end(),
                                    [&key](const VectorFeature& feature) { return feature.key == key; });
    if (found == features_.end()) return false;
    found->kind = replacement.kind;
    found->points = replacement.points;
    found->partEnds = replacement.partEnds;
    found->bounds = replacement.bounds;
    found->regionStyle = replacement.regionStyle;
    RecomputeBounds();
    return true;
}

void VectorLayer::RecomputeBounds() {
    bounds_ = GeoRect{};
    for (const VectorFeature& feature : features_) bounds_.Include(feature.bounds);
}

}  // namespace vexa
