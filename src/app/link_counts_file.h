#pragma once

#include <string>

#include "link/gps_comm.h"

namespace vexa {

// "bytes B, frames F, sentences S, dropped D (bad checksum C, ...)": what the link received, in the
// words of vexademo-cli's closing line, so that a run's two ends compare line by line.
std::string LinkCountsLine(const GpsComm::PausedCounts& counts);

// Writes the line to `path`; the reason when it cannot, else empty.
std::string WriteLinkCounts(const std::string& path, const GpsComm::PausedCounts& counts);

}  // namespace vexa
