#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sim/gps_time.h"
#include "sim/receiver_snapshot.h"

namespace vexa::sim {

// Fields that every NMEA output style writes the same way.

inline constexpr double kKnotsPerMetrePerSecond = 1.9438444924406046;
inline constexpr double kKilometresPerHourPerMetrePerSecond = 3.6;

// Whether a sentence with output interval `rate` seconds (0: off) falls due in output second `second`.
bool Due(int rate, std::int64_t second);

// hhmmss with `decimals` digits of the second, never rounded up into the next second.
std::string TimeField(const UtcTime& utc, int decimals);

// ddmmyy
std::string DateField(const UtcTime& utc);

// "ddmm.mmmm,N,dddmm.mmmm,E", or ",,," without a fix.
std::string PositionFields(const ReceiverSnapshot& snapshot);

// "$ttGST,time,rms,major,minor,orientation,lat sd,lon sd,alt sd" without checksum: the receiver's
// own error estimate; none without a fix or without a known error.
std::optional<std::string> Gst(const ReceiverSnapshot& snapshot, const UtcTime& utc, std::string_view talker, int timeDecimals);

// The mean of the last second's C/N0 samples, dB-Hz.
int AverageCn0(const ChannelReport& channel);

}  // namespace vexa::sim
