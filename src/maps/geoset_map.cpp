#include "maps/geoset_map.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "maps/geoset.h"
#include "maps/layer_loader.h"
#include "platform/file_problem.h"

namespace vexa {

namespace {

// A geoset is a short text; anything far larger is not one and is not read into memory.
constexpr std::uintmax_t kMaxGeosetBytes = 1 << 20;
// A message lists this many of the layers that could not be read, and counts the rest.
constexpr std::size_t kListedProblems = 5;

// The file's text; nothing, and the reason in `problem`, when it cannot be read.
std::optional<std::string> ReadSmallFile(const std::filesystem::path& file, std::string& problem) {
    int error = 0;
    problem = WhyNotARegularFile(file.string(), error);
    if (!problem.empty()) return std::nullopt;
    std::error_code sizeError;
    const std::uintmax_t size = std::filesystem::file_size(file, sizeError);
    if (sizeError) {
        problem = sizeError.message();
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

std::string LayerProblemsText(const std::vector<std::string>& problems) {
    std::string text;
    const std::size_t listed = std::min(problems.size(), kListedProblems);
    for (std::size_t i = 0; i < listed; ++i) text += (i > 0 ? "\n" : "") + problems[i];
    if (problems.size() > listed) {
        const std::size_t rest = problems.size() - listed;
        text += "\n... and " + std::to_string(rest) + " more map layer" + (rest == 1 ? "" : "s") + " that could not be read.";
    }
    return text;
}

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
        return "The geoset \"" + shownName + "\" has no readable map layer.\n" + LayerProblemsText(map.problems);
    }
    return map;
}

}  // namespace vexa
