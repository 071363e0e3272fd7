#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

// The receiver's latest fix and sky, whichever protocol reported them. Pages, the plot, the map and
// the JSON reports read only these; the binary messages and the NMEA sentences both fill them.
// A field the receiver did not report is empty, never zero.

namespace vexa {

using UtcTime = std::chrono::sys_time<std::chrono::milliseconds>;

// Constellations, numbered as gpsd's JSON reports number them.
enum class GnssId : std::uint8_t {
    Gps = 0,
    Sbas = 1,
    Galileo = 2,
    BeiDou = 3,
    Qzss = 5,
    Glonass = 6,
    Navic = 7,
};

// A satellite: its constellation and its number within it (GPS 1-32, SBAS 120-158, Galileo 1-36,
// BeiDou 1-63, QZSS 1-10, GLONASS 1-24 by slot, NavIC 1-14).
struct SatelliteId {
    GnssId gnss = GnssId::Gps;
    std::uint16_t svid = 0;

    friend bool operator==(const SatelliteId&, const SatelliteId&) = default;
};

// Dimension of the fix, numbered as gpsd's TPV "mode".
enum class FixMode : std::uint8_t { NoFix = 1, TwoD = 2, ThreeD = 3 };

// How the fix was obtained, numbered as gpsd's TPV "status".
enum class FixQuality : std::uint8_t {
    Unknown = 0,
    Standard = 1,
    Differential = 2,
    RtkFixed = 3,
    RtkFloat = 4,
    DeadReckoning = 5,
    GnssWithDeadReckoning = 6,
    Surveyed = 7,
    Simulated = 8,
};

struct GnssFix {
    std::optional<UtcTime> time;
    FixMode mode = FixMode::NoFix;
    FixQuality quality = FixQuality::Unknown;
    std::optional<double> latitude;   // degrees, north positive (WGS-84)
    std::optional<double> longitude;  // degrees, east positive
    std::optional<double> altitudeHae;  // metres above the WGS-84 ellipsoid
    std::optional<double> altitudeMsl;  // metres above mean sea level
    std::optional<double> speed;  // metres per second over ground
    std::optional<double> track;  // degrees clockwise from true north, [0, 360)
    std::optional<double> hdop;
    std::optional<double> vdop;
    std::optional<double> pdop;
    std::optional<int> satellitesUsed;
    std::vector<SatelliteId> used;  // the satellites the receiver named as used, when it named them
    // The receiver's own 1-sigma estimate of the position's error, metres (NMEA GST).
    std::optional<double> sigmaEast;
    std::optional<double> sigmaNorth;
    std::optional<double> sigmaUp;

    bool hasPosition() const { return mode != FixMode::NoFix && latitude && longitude; }
};

struct SkySatellite {
    SatelliteId id;
    std::uint8_t signal = 0;  // signal id within the constellation (NMEA 4.11); 0 when not reported
    std::optional<double> azimuth;    // degrees, [0, 360)
    std::optional<double> elevation;  // degrees, -90 to 90
    std::optional<double> cn0;        // dB-Hz
    bool used = false;
};

struct GnssSky {
    std::optional<UtcTime> time;
    std::optional<double> hdop;
    std::optional<double> vdop;
    std::optional<double> pdop;
    std::vector<SkySatellite> satellites;

    int usedCount() const {
        int count = 0;
        for (const SkySatellite& satellite : satellites) count += satellite.used ? 1 : 0;
        return count;
    }
};

// gpsd's single "PRN" number of a satellite: GPS and SBAS as they are, GLONASS 65-96, Galileo 301+,
// BeiDou 401+, QZSS 193+, NavIC 801+.
constexpr int GpsdPrn(SatelliteId id) {
    switch (id.gnss) {
    case GnssId::Gps:
    case GnssId::Sbas: return id.svid;
    case GnssId::Galileo: return 300 + id.svid;
    case GnssId::BeiDou: return 400 + id.svid;
    case GnssId::Qzss: return 192 + id.svid;
    case GnssId::Glonass: return 64 + id.svid;
    case GnssId::Navic: return 800 + id.svid;
    }
    return id.svid;
}

// The letter that labels a constellation's satellites where space is short.
constexpr char ConstellationLetter(GnssId gnss) {
    switch (gnss) {
    case GnssId::Gps: return 'G';
    case GnssId::Sbas: return 'S';
    case GnssId::Galileo: return 'E';
    case GnssId::BeiDou: return 'C';
    case GnssId::Qzss: return 'J';
    case GnssId::Glonass: return 'R';
    case GnssId::Navic: return 'I';
    }
    return '?';
}

}  // namespace vexa
