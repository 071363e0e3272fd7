#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "evaluation/local_frame.h"
#include "receiver/fix/gnss_fix.h"

namespace vexa {

// The fix kinds the history tells apart, worst first, so that a lower value is a worse fix.
enum class FixBand : std::uint8_t { None, TwoD, ThreeD, Dgps, RtkFloat, RtkFixed };
inline constexpr std::size_t kFixBandCount = 6;

// "none", "2d", "3d", "dgps", "rtk_float", "rtk_fixed": the words of the epochs file.
const char* FixBandName(FixBand band);

// The constellations by their JSON number (GnssId), as array indexes.
inline constexpr std::size_t kGnssSlots = 8;
inline constexpr std::array kHistoryGnss = {GnssId::Gps,  GnssId::Sbas,    GnssId::Galileo, GnssId::BeiDou,
                                            GnssId::Qzss, GnssId::Glonass, GnssId::Navic};

// One satellite in one epoch; a value the receiver did not report is empty.
struct HistorySatellite {
    SatelliteId id;
    std::optional<float> azimuth;    // degrees
    std::optional<float> elevation;  // degrees
    std::optional<float> cn0;        // dB-Hz
    bool used = false;
};

// What the receiver reported in one epoch: an NMEA epoch, or a binary navigation message with the
// tracker message that follows it.
struct HistoryEpoch {
    std::optional<UtcTime> time;
    std::optional<FixBand> fix;  // empty when the epoch had no fix report (a sky alone)
    std::optional<double> latitude, longitude, height;  // degrees, metres above the ellipsoid
    std::optional<double> hdop, vdop, pdop;
    std::optional<EnuOffset> error;  // from the reference, when one is set and the fix has a position
    bool hasSky = false;
    std::vector<HistorySatellite> satellites;  // one per satellite, whatever its signals

    std::array<std::uint8_t, kGnssSlots> InView() const;
    std::array<std::uint8_t, kGnssSlots> Used() const;
    int InViewTotal() const { return static_cast<int>(satellites.size()); }
    int UsedTotal() const;
};

// The epoch of a fix; `reference` (when given) gives its error.
HistoryEpoch EpochOfFix(const GnssFix& fix, const LocalFrame* reference);

// Adds a sky to an epoch: its satellites (a satellite reported on several signals once, with its
// strongest C/N0, used if used on any) and the DOPs the fix did not give.
void AddSky(HistoryEpoch& epoch, const GnssSky& sky);

}  // namespace vexa
