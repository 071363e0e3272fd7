#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "maps/geo_types.h"
#include "maps/layer_style.h"

namespace vexa {

// One layer of a geoset: the file it is read from and the style values the geoset gives it.
struct GeosetTable {
    int number = 0;
    std::filesystem::path file;
    StyleOverrides style;
};

// What a geoset file says. Geoset lines read  "key" = "value"; the keys understood are
//   "\GEOSET\NAME"           the map's title
//   "\GEOSET\CENTER"         "longitude,latitude" of the initial view, degrees
//   "\GEOSET\ZOOM"           width of the initial view, metres
//   "\TABLE\n\FILE"          layer n (1, 2, ...): a vector file, relative to the geoset's folder
//   "\TABLE\n\LINECOLOR"     "#RRGGBB" for the layer's lines and polygon outlines
//   "\TABLE\n\FILLCOLOR"     "#RRGGBB" for the layer's polygon fill
//   "\TABLE\n\POINTCOLOR"    "#RRGGBB" for the layer's points
//   "\TABLE\n\LINEWIDTH"     line width in pixels, 1 to 20
// Keys are matched without regard to case; other keys, unusable values and lines of any other
// form are ignored.
struct Geoset {
    std::string name;
    std::vector<GeosetTable> tables;  // ascending n, only tables with a file
    std::optional<GeoPoint> center;
    std::optional<double> zoomMetres;
};

Geoset ParseGeoset(std::string_view text, const std::filesystem::path& folder);

}  // namespace vexa
