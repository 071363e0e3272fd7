#pragma once

#include <functional>
#include <optional>

#include "receiver/gnss_fix.h"
#include "receiver/records.h"

namespace vexa {

// The records the pages show, copied together in one locked stretch of the model. A record is
// missing while the model has none to give (not connected, or NMEA); the fix, of either protocol,
// while none has come since the connection.
struct ReceiverSnapshot {
    std::optional<NavData> nav;
    std::optional<TrackData> track;
    std::optional<GnssFix> fix{};
};

using ReceiverReader = std::function<ReceiverSnapshot()>;

}  // namespace vexa
