#pragma once

#include "receiver/fix/gnss_fix.h"
#include "receiver/binary/records.h"

namespace vexa {

// The neutral fix of a navigation message (message 2), written into `fix` so that its storage is
// reused. The binary protocol reports GPS time; UTC is taken 18 leap seconds behind it.
void FillFixFromNav(const NavData& nav, GnssFix& fix);

// The neutral sky of a tracker message (message 4): every channel with a satellite, its average
// C/N0, and "used" for the satellites of the last navigation message.
void FillSkyFromTrack(const TrackData& track, const NavData& nav, GnssSky& sky);

}  // namespace vexa
