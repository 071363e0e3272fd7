#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "maps/geo_types.h"
#include "maps/layer_style.h"

namespace vexa {

enum class GeometryKind : std::uint8_t { kPoint, kLine, kPolygon };

// One feature of one kind, kept with its bounding box so that drawing can skip it cheaply.
// Points of all parts lie one after another; partEnds closes each part (a line of a multi-line,
// a ring of a polygon; points need no parts).
struct VectorFeature {
    GeometryKind kind = GeometryKind::kLine;
    std::vector<GeoPoint> points;
    std::vector<std::uint32_t> partEnds;
    GeoRect bounds;
    std::string key;
    std::optional<RegionStyle> regionStyle;  // set on regions that carry their own colours

    void AddPart(const std::vector<GeoPoint>& part);
};

// A drawable layer: features in file order, their common bounds and the layer's style.
class VectorLayer {
public:
    VectorLayer() = default;
    VectorLayer(std::string name, LayerStyle style) : name_(std::move(name)), style_(style) {}

    const std::string& Name() const { return name_; }
    const LayerStyle& Style() const { return style_; }
    const std::vector<VectorFeature>& Features() const { return features_; }
    std::size_t FeatureCount() const { return features_.size(); }
    const GeoRect& Bounds() const { return bounds_; }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible) { visible_ = visible; }

    // Adds a feature and returns it as the layer holds it, with its key.
    VectorFeature AddFeature(VectorFeature feature);
    // Gives the keyed feature the geometry and region style of another; false for an unknown key.
    bool UpdateFeature(const std::string& key, const VectorFeature& replacement);

    template <typename Visit>
    void ForEachFeatureIn(const GeoRect& view, Visit&& visit) const {
        if (!bounds_.Intersects(view)) return;
        for (const VectorFeature& feature : features_) {
            if (feature.bounds.Intersects(view)) visit(feature);
        }
    }

private:
    void RecomputeBounds();

    std::string name_;
    LayerStyle style_;
    std::vector<VectorFeature> features_;
    GeoRect bounds_;
    bool visible_ = true;
    std::uint64_t nextKey_ = 1;
};

}  // namespace vexa
