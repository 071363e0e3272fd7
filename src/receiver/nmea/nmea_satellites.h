#pragma once

#include <optional>

#include "receiver/fix/gnss_fix.h"
#include "receiver/nmea/nmea_sentence.h"

namespace vexa {

// The satellite a sentence means by a number, given the constellation the sentence speaks for
// (its talker, or the system id of a GSA). NMEA numbers GPS 1-32, SBAS 33-64 (PRN 120-158),
// GLONASS 65-96; receivers that list several constellations under one talker use the wider ranges
// QZSS 193-200, BeiDou 201-263 or 401-463 and Galileo 301-336. Nothing for a number no
// constellation uses.
std::optional<SatelliteId> SatelliteFromNmea(NmeaSystem system, int number);

}  // namespace vexa
