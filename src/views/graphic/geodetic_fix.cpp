#include "views/graphic/geodetic_fix.h"

#include "link/gps_comm.h"
#include "receiver/binary/coordinate_conversion.h"
#include "receiver/binary/nav_mode_bits.h"

namespace vexa {

GeodeticFixReader ReadFixFrom(GpsComm& comm) {
    return [&comm]() -> std::optional<GeodeticFix> {
        const ModelSnapshot model = comm.Model().Snapshot();
        if (const std::optional<NavData>& nav = model.nav) {
            if ((nav->Mode1 & kPositionModeMask) == 0) return std::nullopt;
            GeodeticFix fix;
            NavToGeodetic(*nav, &fix.latitude, &fix.longitude, &fix.altitude, nullptr, nullptr);
            return fix;
        }
        if (comm.Context().LinkProtocol.load() != kNmeaProtocol) return std::nullopt;
        const std::optional<GnssFix>& latest = model.fix;
        if (!latest || !latest->hasPosition()) return std::nullopt;
        return GeodeticFix{*latest->latitude, *latest->longitude,
                           latest->altitudeHae.value_or(latest->altitudeMsl.value_or(0.0))};
    };
}

}  // namespace vexa
