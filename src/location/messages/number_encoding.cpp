#include "location/messages/number_encoding.h"

#include <cmath>
#include <limits>

namespace vexa {

namespace {

constexpr double kTwoPow32 = 4294967296.0;

std::int32_t toInt32Held(double value) {
    if (std::isnan(value)) return 0;
    const double truncated = std::trunc(value);
    if (truncated >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (truncated <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(truncated);
}

}  // namespace

std::array<std::uint8_t, 5> encodeUint40(double value) {
    constexpr double kLargest = 1099511627775.0;  // 2^40 - 1
    if (!(value > 0.0)) value = 0.0;  // also catches NaN
    if (value > kLargest) value = kLargest;
    const double high = std::floor(value / kTwoPow32);
    const auto low = static_cast<std::uint32_t>(value - high * kTwoPow32);
    return {static_cast<std::uint8_t>(high), static_cast<std::uint8_t>(low >> 24),
            static_cast<std::uint8_t>(low >> 16), static_cast<std::uint8_t>(low >> 8),
            static_cast<std::uint8_t>(low)};
}

std::int32_t encodeLatitude(double degrees) { return toInt32Held(degrees * kTwoPow32 / 180.0); }

std::int32_t encodeLongitude(double degrees) { return toInt32Held(degrees * kTwoPow32 / 360.0); }

double decodeLatitude(std::int32_t value) { return value * 180.0 / kTwoPow32; }

double decodeLongitude(std::int32_t value) { return value * 360.0 / kTwoPow32; }

std::uint16_t encodeServerAltitude(int metres) { return static_cast<std::uint16_t>((metres + 500) * 10); }

}  // namespace vexa
