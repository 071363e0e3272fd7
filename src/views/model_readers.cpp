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
        snapshot.fix = comm.LatestFix();
        return snapshot;
    };
}

}  // namespace vexa
