#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "maps/vector_layer.h"

namespace vexa {

// A geoset read with all of its layers.
struct GeosetMap {
    std::string name;
    std::vector<VectorLayer> layers;    // in drawing order: the geoset's first table first
    std::vector<std::string> problems;  // one message per layer file that could not be read
    GeoRect bounds;                     // union of the layers' extents
    std::optional<GeoPoint> center;
    std::optional<double> zoomMetres;
};

// Reads a geoset file and its layer files. Layers that cannot be read are left out and listed;
// the geoset fails as a whole (with a message) only when it cannot be read or none of its
// layers can.
std::variant<GeosetMap, std::string> LoadGeosetMap(const std::filesystem::path& geosetFile);

// The layer problems one per line, the first few of them, and how many more there are: a message
// that fits on the screen however many layers a geoset names.
std::string LayerProblemsText(const std::vector<std::string>& problems);

}  // namespace vexa
