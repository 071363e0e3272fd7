#pragma once

#include <functional>

#include "link/model/model_snapshot.h"

namespace vexa {

class GpsComm;

using ModelReader = std::function<ModelSnapshot()>;

// The pages' reader of the link's model: a snapshot of the records they show, copied under the
// model lock. The link must outlive it. (The plot reads its fix through ReadFixFrom.)
ModelReader SnapshotReader(GpsComm& comm);

}  // namespace vexa
