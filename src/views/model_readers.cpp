#include "views/model_readers.h"

#include "link/gps_comm.h"

namespace vexa {

ReceiverReader SnapshotReader(GpsComm& comm) {
    return [&comm] {
        ReceiverSnapshot snapshot;
        comm.Lock();
        if (const NavData* nav = comm.GetNavData()) snapshot.nav = *nav;
        if (const TrackData* track = comm.GetTrackData()) snapshot.track = *track;
        comm.Unlock();
        // These two take the lock themselves.
        snapshot.fix = comm.LatestFix();
        snapshot.sky = comm.LatestSky();
        return snapshot;
    };
}

}  // namespace vexa
