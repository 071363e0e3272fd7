#include "sim/gps_time.h"

#include <cmath>
#include <ctime>

namespace vexa::sim {
namespace {

constexpr double kGpsEpochUnix = 315964800.0;  // 1980-01-06 00:00:00 UTC
constexpr double kLeapSeconds = 18.0;          // GPS minus UTC since 2017
constexpr double kSecondsPerWeek = 604800.0;

}  // namespace

GpsTime GpsTimeFromUnix(double unixSeconds) {
    const double gpsSeconds = unixSeconds - kGpsEpochUnix + kLeapSeconds;
    const double week = std::floor(gpsSeconds / kSecondsPerWeek);
    return {static_cast<int>(week), gpsSeconds - week * kSecondsPerWeek};
}

double UnixFromGpsTime(GpsTime time) {
    return kGpsEpochUnix + time.week * kSecondsPerWeek + time.towSeconds - kLeapSeconds;
}

UtcTime UtcFromUnix(double unixSeconds) {
    const double whole = std::floor(unixSeconds);
    const std::time_t seconds = static_cast<std::time_t>(whole);
    std::tm fields{};
    gmtime_r(&seconds, &fields);
    return {fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday, fields.tm_hour, fields.tm_min,
            fields.tm_sec + (unixSeconds - whole)};
}

}  // namespace vexa::sim
