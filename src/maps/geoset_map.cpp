#include "maps/geoset_map.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "maps/geoset.h"
#include "maps/layer_loader.h"

namespace vexa {

namespace {

// A geoset is a short text; anything far larger is not one and is not read into memory.
constexpr std::uintmax_t kMaxGeosetBytes = 1 << 20;

// The file's text; nothing, and the reason in `problem`, when it cannot be read.
std::optional<std::string> ReadSmallFile(const std::filesystem::path& file, std::string& problem) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) {
        problem = error.message();
        return std::nullopt;
    }
    if (size > kMaxGeosetBytes) {
        problem = "it is larger than " + std::to_string(kMaxGeosetBytes) + " bytes, too large for a geoset";
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        problem = std::strerror(errno);
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

std::variant<GeosetMap, std::string> LoadGeosetMap(const std::filesystem::path& geosetFile) {
    const std::string shownName = geosetFile.string();
    std::string problem;
    const auto text = ReadSmallFile(geosetFile, problem);
    if (!text) return "Cannot read the geoset \"" + shownName + "\": " + problem + ".";

    const Geoset geoset = ParseGeoset(*text, geosetFile.parent_path());
    GeosetMap map;
    map.name = geoset.name.empty() ? geosetFile.stem().string() : geoset.name;
    map.center = geoset.center;
    map.zoomMetres = geoset.zoomMetres;
    for (const GeosetTable& table : geoset.tables) {
        auto loaded = LoadLayerFile(table.file, ApplyOverrides(DefaultLayerStyle(map.layers.size()), table.style));
        if (auto* problem = std::get_if<std::string>(&loaded)) {
            map.problems.push_back(std::move(*problem));
            continue;
        }
        map.layers.push_back(std::move(std::get<VectorLayer>(loaded)));
        map.bounds.Include(map.layers.back().Bounds());
    }
    if (map.layers.empty()) {
        std::string message = "The geoset \"" + shownName + "\" has no readable map layer.";
        for (const std::string& problem : map.problems) message += "\n" + problem;
        return message;
    }
    return map;
}

}  // namespace vexa
