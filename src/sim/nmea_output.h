#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/receiver_snapshot.h"

namespace vexa::sim {

// Output intervals in seconds of the sentences the receiver writes in NMEA mode; 0 turns one off.
// A GPS-only receiver writes no VTG and ZDA; a multi-constellation one writes GNS with GGA.
struct NmeaRates {
    int gga = 1;
    int gsa = 1;
    int gsv = 1;
    int rmc = 1;
    int vtg = 1;
    int zda = 1;
};

// The sentences of one output second of a GPS-only receiver (GP talker), each complete with checksum and CR LF.
std::vector<std::string> NmeaSentences(const ReceiverSnapshot& snapshot, const NmeaRates& rates, std::int64_t second);

}  // namespace vexa::sim
