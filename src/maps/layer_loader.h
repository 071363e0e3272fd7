#pragma once

#include <filesystem>
#include <string>
#include <variant>

#include "maps/vector_layer.h"

namespace vexa {

// Reads every feature of a vector file that GDAL can open (GeoJSON, Shapefile, TAB files,
// GeoPackage, OSM PBF, ...), all of its layers into one, reprojected to WGS-84 longitude/latitude.
// Gives the layer, or a message that names the file when it cannot be read.
std::variant<VectorLayer, std::string> LoadLayerFile(const std::filesystem::path& file, const LayerStyle& style);

}  // namespace vexa
