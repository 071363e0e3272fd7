#pragma once

namespace vexa::sim {

struct GpsTime {
    int week = 0;
    double towSeconds = 0;  // time of week
};

struct UtcTime {
    int year = 0;
    int month = 0;   // 1 to 12
    int day = 0;     // 1 to 31
    int hour = 0;
    int minute = 0;
    double second = 0;
};

GpsTime GpsTimeFromUnix(double unixSeconds);
double UnixFromGpsTime(GpsTime time);
UtcTime UtcFromUnix(double unixSeconds);

}  // namespace vexa::sim
