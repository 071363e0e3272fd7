#include "sim/constellation.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vexa::sim {
namespace {

constexpr std::array<std::pair<std::string_view, Constellation>, 7> kNames{{
    {"gps", Constellation::Gps},
    {"glonass", Constellation::Glonass},
    {"galileo", Constellation::Galileo},
    {"beidou", Constellation::BeiDou},
    {"qzss", Constellation::Qzss},
    {"navic", Constellation::NavIC},
    {"sbas", Constellation::Sbas},
}};

std::optional<Constellation> Named(std::string_view name) {
    for (const auto& [text, constellation] : kNames) {
        if (text == name) return constellation;
    }
    return std::nullopt;
}

}  // namespace

std::optional<Constellations> ParseConstellations(std::string_view text) {
    Constellations constellations;
    while (true) {
        const std::size_t comma = text.find(',');
        const auto constellation = Named(text.substr(0, comma));
        if (!constellation) return std::nullopt;
        constellations.push_back(*constellation);
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    std::sort(constellations.begin(), constellations.end());
    constellations.erase(std::unique(constellations.begin(), constellations.end()), constellations.end());
    if (constellations.front() != Constellation::Gps) return std::nullopt;
    return constellations;
}

bool IsMultiConstellation(const Constellations& constellations) {
    return constellations.size() > 1;
}

}  // namespace vexa::sim
