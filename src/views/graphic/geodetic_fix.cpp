#include "views/graphic/geodetic_fix.h"

#include <mutex>

#include "link/gps_comm.h"
#include "receiver/coordinate_conversion.h"
#include "views/nav_mode_bits.h"

namespace vexa {

namespace {

// Lets std::lock_guard hold the model lock, so that it is released on every path.
struct ModelLock {
    GpsComm& comm;
    void lock() { comm.Lock(); }
    void unlock() { comm.Unlock(); }
};

}  // namespace

GeodeticFixReader ReadFixFrom(GpsComm& comm) {
    return [&comm]() -> std::optional<GeodeticFix> {
        {
            ModelLock model{comm};
            const std::lock_guard lock(model);
            if (const NavData* nav = comm.GetNavData()) {
                if ((nav->Mode1 & kPositionModeMask) == 0) return std::nullopt;
                GeodeticFix fix;
                NavToGeodetic(*nav, &fix.latitude, &fix.longitude, &fix.altitude, nullptr, nullptr);
                return fix;
            }
        }
        if (comm.Context().LinkProtocol.load() != kNmeaProtocol) return std::nullopt;
        const std::optional<GnssFix> latest = comm.LatestFix();
        if (!latest || !latest->hasPosition()) return std::nullopt;
        return GeodeticFix{*latest->latitude, *latest->longitude,
                           latest->altitudeHae.value_or(latest->altitudeMsl.value_or(0.0))};
    };
}

}  // namespace vexa
