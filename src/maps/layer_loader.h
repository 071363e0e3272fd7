#pragma once

#include <filesystem>
#include <string>
#include <variant>

#include "maps/vector_layer.h"

namespace vexa {

// Reads every feature of a local vector file (GeoJSON, Shapefile, TAB files, GeoPackage, OSM PBF,
// FlatGeobuf, KML, GPX), all of its layers into one, reprojected to WGS-84 longitude/latitude.
// Gives the layer, or a message that names the file when it cannot be read; anything but a regular
// file on this computer (a URL, a GDAL virtual path, a named pipe, a device) is refused unopened.
std::variant<VectorLayer, std::string> LoadLayerFile(const std::filesystem::path& file, const LayerStyle& style);

}  // namespace vexa
