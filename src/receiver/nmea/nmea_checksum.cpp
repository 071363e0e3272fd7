#include "receiver/nmea/nmea_checksum.h"

#include <cstdio>

namespace vexa {

std::uint8_t NmeaChecksum(std::string_view sentence) {
    if (sentence.starts_with('$')) sentence.remove_prefix(1);
    std::uint8_t checksum = 0;
    for (const char c : sentence) checksum ^= static_cast<std::uint8_t>(c);
    return checksum;
}

std::string WithNmeaChecksum(std::string_view sentence) {
    char suffix[8];
    std::snprintf(suffix, sizeof suffix, "*%02X\r\n", NmeaChecksum(sentence));
    return std::string(sentence) + suffix;
}

}  // namespace vexa
