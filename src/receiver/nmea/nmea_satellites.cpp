#include "receiver/nmea/nmea_satellites.h"

namespace vexa {
namespace {

constexpr int kSbasOffset = 87;  // NMEA 33-64 are SBAS PRN 120-151

std::optional<SatelliteId> Id(GnssId gnss, int svid) { return SatelliteId{gnss, static_cast<std::uint16_t>(svid)}; }

bool Within(int number, int low, int high) { return number >= low && number <= high; }

// Numbers every talker shares: SBAS and the extended ranges some receivers use.
std::optional<SatelliteId> SharedRange(int number) {
    if (Within(number, 33, 64)) return Id(GnssId::Sbas, number + kSbasOffset);
    if (Within(number, 65, 96)) return Id(GnssId::Glonass, number - 64);
    if (Within(number, 120, 158)) return Id(GnssId::Sbas, number);
    if (Within(number, 193, 200)) return Id(GnssId::Qzss, number - 192);
    if (Within(number, 201, 263)) return Id(GnssId::BeiDou, number - 200);
    if (Within(number, 301, 336)) return Id(GnssId::Galileo, number - 300);
    if (Within(number, 401, 463)) return Id(GnssId::BeiDou, number - 400);
    return std::nullopt;
}

}  // namespace

std::optional<SatelliteId> SatelliteFromNmea(NmeaSystem system, int number) {
    switch (system) {
    case NmeaSystem::Gps:
    case NmeaSystem::Mixed:
        if (Within(number, 1, 32)) return Id(GnssId::Gps, number);
        break;
    case NmeaSystem::Glonass:
        // Some receivers number GLONASS by slot under their own talker.
        if (Within(number, 1, 32)) return Id(GnssId::Glonass, number);
        break;
    case NmeaSystem::Galileo:
        if (Within(number, 1, 36)) return Id(GnssId::Galileo, number);
        break;
    case NmeaSystem::BeiDou:
        if (Within(number, 1, 63)) return Id(GnssId::BeiDou, number);
        break;
    case NmeaSystem::Qzss:
        if (Within(number, 1, 10)) return Id(GnssId::Qzss, number);
        break;
    case NmeaSystem::Navic:
        if (Within(number, 1, 14)) return Id(GnssId::Navic, number);
        break;
    }
    return SharedRange(number);
}

}  // namespace vexa
