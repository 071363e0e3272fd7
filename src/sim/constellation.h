#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace vexa::sim {

// The satellite systems the receiver can track, in the order NMEA numbers its systems
// (SBAS, which rides in GPS's sentences, last).
enum class Constellation { Gps, Glonass, Galileo, BeiDou, Qzss, NavIC, Sbas };

// Constellations in the order above, each once. GPS is always among them: the receiver's channels follow it.
using Constellations = std::vector<Constellation>;

// A comma-separated list of gps, glonass, galileo, beidou, qzss, navic and sbas; nothing when a name is
// unknown or gps is missing.
std::optional<Constellations> ParseConstellations(std::string_view text);

// True when the receiver tracks any system besides GPS.
bool IsMultiConstellation(const Constellations& constellations);

}  // namespace vexa::sim
