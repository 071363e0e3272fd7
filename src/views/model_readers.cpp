#include "views/model_readers.h"

#include <mutex>

#include "link/gps_comm.h"
#include "receiver/coordinate_conversion.h"

namespace vexa {

namespace {

// Lock() and Unlock() in the shape std::lock_guard takes.
struct ModelLock {
    GpsComm& comm;
    void lock() { comm.Lock(); }
    void unlock() { comm.Unlock(); }
};

}  // namespace

ReceiverReader SnapshotReader(GpsComm& comm) {
    return [&comm] {
        ModelLock model{comm};
        std::lock_guard lock(model);
        ReceiverSnapshot snapshot;
        if (const NavData* nav = comm.GetNavData()) snapshot.nav = *nav;
        if (const TrackData* track = comm.GetTrackData()) snapshot.track = *track;
        return snapshot;
    };
}

GeodeticFixReader FixReader(GpsComm& comm) {
    return [&comm]() -> std::optional<GeodeticFix> {
        std::optional<NavData> nav;
        {
            ModelLock model{comm};
            std::lock_guard lock(model);
            if (const NavData* record = comm.GetNavData()) nav = *record;
        }
        if (!nav) return std::nullopt;
        GeodeticFix fix;
        NavToGeodetic(*nav, &fix.latitude, &fix.longitude, &fix.altitude, nullptr, nullptr);
        return fix;
    };
}

}  // namespace vexa
