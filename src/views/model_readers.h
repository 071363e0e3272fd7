#pragma once

#include "views/receiver_snapshot.h"

namespace vexa {

class GpsComm;

// The pages' reader of the link's model: copies the navigation and tracker records under the
// model lock, and the latest fix and sky. The link must outlive it. (The plot reads its fix through ReadFixFrom.)
ReceiverReader SnapshotReader(GpsComm& comm);

}  // namespace vexa
