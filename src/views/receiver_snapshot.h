#pragma once

#include <functional>
#include <optional>
#include <utility>

#include "receiver/gnss_fix.h"
#include "receiver/records.h"

namespace vexa {

// The records the pages show, copied from the model. The binary records are missing while the model
// has none to give (not connected, or NMEA); the fix and the sky while no receiver has reported them.
struct ReceiverSnapshot {
    ReceiverSnapshot() = default;
    ReceiverSnapshot(std::optional<NavData> nav, std::optional<TrackData> track)
        : nav(std::move(nav)), track(std::move(track)) {}

    std::optional<NavData> nav;
    std::optional<TrackData> track;
    std::optional<GnssFix> fix;
    std::optional<GnssSky> sky;
};

using ReceiverReader = std::function<ReceiverSnapshot()>;

}  // namespace vexa
