#include "receiver/binary/binary_fix.h"

#include <algorithm>

#include "receiver/binary/coordinate_conversion.h"
#include "receiver/binary/nav_mode_bits.h"

namespace vexa {
namespace {

constexpr int kDeadReckoningMode = 7;

constexpr std::chrono::seconds kGpsAheadOfUtc{18};
constexpr std::chrono::sys_days kGpsEpoch{std::chrono::year{1980} / 1 / 6};

std::optional<UtcTime> GpsTime(unsigned week, std::uint32_t towCentiseconds) {
    if (week == 0 && towCentiseconds == 0) return std::nullopt;
    return UtcTime{kGpsEpoch} + std::chrono::weeks{week} + std::chrono::milliseconds{towCentiseconds * 10LL} -
           kGpsAheadOfUtc;
}

// The binary protocol numbers GPS satellites 1-32 and SBAS satellites by their PRN.
std::optional<SatelliteId> SatelliteOfPrn(int prn) {
    if (prn >= 1 && prn <= 32) return SatelliteId{GnssId::Gps, static_cast<std::uint16_t>(prn)};
    if (prn >= 120 && prn <= 158) return SatelliteId{GnssId::Sbas, static_cast<std::uint16_t>(prn)};
    return std::nullopt;
}

int UsedCount(const NavData& nav) { return std::min<int>(nav.SvCount, static_cast<int>(std::size(nav.SvPrn))); }

bool IsUsed(const NavData& nav, int prn) {
    const auto end = nav.SvPrn + UsedCount(nav);
    return prn != 0 && std::find(nav.SvPrn, end, prn) != end;
}

}  // namespace

void FillFixFromNav(const NavData& nav, GnssFix& fix) {
    fix.time = GpsTime(nav.Week, nav.Tow);
    const int positionMode = nav.Mode1 & kPositionModeMask;
    const bool hasFix = positionMode != 0 && (nav.Mode1 & kDopMaskExceeded) == 0;
    fix.mode = !hasFix                                 ? FixMode::NoFix
               : positionMode == 4 || positionMode == 6 ? FixMode::ThreeD
                                                        : FixMode::TwoD;
    fix.quality = !hasFix                           ? FixQuality::Unknown
                  : positionMode == kDeadReckoningMode ? FixQuality::DeadReckoning
                  : (nav.Mode1 & kDgpsUsed) != 0      ? FixQuality::Differential
                                                      : FixQuality::Standard;
    fix.latitude.reset();
    fix.longitude.reset();
    fix.altitudeHae.reset();
    fix.altitudeMsl.reset();
    fix.speed.reset();
    fix.track.reset();
    if (hasFix) {
        double latitude = 0, longitude = 0, altitude = 0, speed = 0, heading = 0;
        NavToGeodetic(nav, &latitude, &longitude, &altitude, &speed, &heading);
        fix.latitude = latitude;
        fix.longitude = longitude;
        if (fix.mode == FixMode::ThreeD) fix.altitudeHae = altitude;
        fix.speed = speed;
        fix.track = heading;
    }
    fix.hdop = nav.Hdop * 0.2;
    fix.vdop.reset();
    fix.pdop.reset();
    fix.satellitesUsed = UsedCount(nav);
    fix.used.clear();
    for (int i = 0; i < UsedCount(nav); ++i) {
        if (const auto id = SatelliteOfPrn(nav.SvPrn[i])) fix.used.push_back(*id);
    }
}

void FillSkyFromTrack(const TrackData& track, const NavData& nav, GnssSky& sky) {
    sky.time = GpsTime(static_cast<std::uint16_t>(track.Week), track.Tow);
    sky.hdop = nav.Hdop * 0.2;
    sky.vdop.reset();
    sky.pdop.reset();
    sky.satellites.clear();
    for (const TrackChannel& channel : track.Channels) {
        const auto id = SatelliteOfPrn(channel.Prn);
        if (!id) continue;
        int sum = 0;
        for (std::uint8_t sample : channel.Cn0) sum += sample;
        sky.satellites.push_back(SkySatellite{*id, 0, channel.Azimuth * 1.5, channel.Elevation * 0.5,
                                              sum / static_cast<double>(kCn0Samples), IsUsed(nav, channel.Prn)});
    }
}

}  // namespace vexa
