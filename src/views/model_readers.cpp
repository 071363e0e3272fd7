#include "views/model_readers.h"

#include "link/gps_comm.h"

namespace vexa {

ModelReader SnapshotReader(GpsComm& comm) {
    return [&comm] { return comm.Model().Snapshot(); };
}

}  // namespace vexa
