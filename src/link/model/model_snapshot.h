#pragma once

#include <optional>

#include "receiver/fix/gnss_fix.h"
#include "receiver/binary/records.h"

namespace vexa {

// The records the pages show, copied from the model under its lock. The binary records are missing
// while the model has none to give (not connected, or NMEA); the fix and the sky while no receiver
// has reported them.
struct ModelSnapshot {
    std::optional<NavData> nav;
    std::optional<TrackData> track;
    // Initialised here so that pages' tests may give the first members alone.
    std::optional<GnssFix> fix{};
    std::optional<GnssSky> sky{};
};

}  // namespace vexa
