#pragma once

#include <array>
#include <cstdint>

namespace vexa {

// A non-negative value up to 2^40 as one high byte and a 32-bit low part (time of week in ms and the like).
std::array<std::uint8_t, 5> encodeUint40(double value);

// Degrees scaled to the full signed 32-bit range: latitude by 2^32 / 180, longitude by 2^32 / 360.
// Values beyond the range are held at its ends.
std::int32_t encodeLatitude(double degrees);
std::int32_t encodeLongitude(double degrees);
double decodeLatitude(std::int32_t value);
double decodeLongitude(std::int32_t value);

// Altitude as the server test expects it: (metres + 500) x 10 in 16 bits.
std::uint16_t encodeServerAltitude(int metres);

}  // namespace vexa
