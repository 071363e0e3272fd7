#include "views/satellite_colour.h"

#include <algorithm>

#include "receiver/binary/nav_mode_bits.h"
#include "views/page_palette.h"

namespace vexa {

namespace {

constexpr std::uint16_t kTrackingStates = 0x33;

}  // namespace

QColor SatelliteColour(const TrackChannel& channel, const NavData* nav) {
    if (nav != nullptr) {
        // The count comes from the receiver; the list never holds more than its 12 places.
        const int used = std::min<int>(nav->SvCount, std::size(nav->SvPrn));
        if (std::find(nav->SvPrn, nav->SvPrn + used, channel.Prn) != nav->SvPrn + used) return kPaletteGreen;
        if (channel.Prn > 99 && (nav->Mode1 & kDgpsUsed) != 0) return kPaletteCyan;
    }
    if ((channel.State & kTrackingStates) != 0) return kPaletteBlue;
    return kPaletteRed;
}

QColor SatelliteColour(const SkySatellite& satellite, const GnssFix* fix) {
    if (satellite.used) return kPaletteGreen;
    if (fix != nullptr && satellite.id.gnss == GnssId::Sbas && fix->quality == FixQuality::Differential) {
        return kPaletteCyan;
    }
    if (satellite.cn0.value_or(0.0) > 0.0) return kPaletteBlue;
    return kPaletteRed;
}

}  // namespace vexa
