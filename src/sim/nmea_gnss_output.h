#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/constellation.h"
#include "sim/nmea_output.h"
#include "sim/receiver_snapshot.h"

namespace vexa::sim {

// The sentences of one output second of a receiver that tracks several systems, in the form of NMEA 0183
// version 4.11: GGA, GNS, RMC, VTG and ZDA with the GN talker (GP when only GPS and SBAS are tracked),
// one GSA per system with its system id, and GSV per system's talker with its signal id.
// Each sentence is complete with checksum and CR LF.
std::vector<std::string> GnssNmeaSentences(const ReceiverSnapshot& snapshot, const NmeaRates& rates,
                                           std::int64_t second, const Constellations& constellations);

}  // namespace vexa::sim
