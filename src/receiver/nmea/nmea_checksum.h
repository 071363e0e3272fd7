#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vexa {

// The NMEA checksum: the exclusive-or of every character after the leading "$" (of every
// character when there is none). The text given ends before the "*".
std::uint8_t NmeaChecksum(std::string_view sentence);

// `sentence` (from "$") followed by "*", its checksum in two upper-case hexadecimal digits, and CR LF.
std::string WithNmeaChecksum(std::string_view sentence);

}  // namespace vexa
