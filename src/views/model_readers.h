#pragma once

#include "views/graphic/geodetic_fix.h"
#include "views/receiver_snapshot.h"

namespace vexa {

class GpsComm;

// The pages' readers of the link's model: each copies what it needs under the model lock and
// converts after releasing it.
ReceiverReader SnapshotReader(GpsComm& comm);
GeodeticFixReader FixReader(GpsComm& comm);

}  // namespace vexa
