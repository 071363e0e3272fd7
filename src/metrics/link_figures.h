#pragma once

#include <cstdint>
#include <optional>

#include "receiver/frames/dropped_frames.h"

namespace vexa {

class GpsComm;

// What the link says of itself once a second: its state and the receive path's running counts.
struct LinkFigures {
    bool connected = false;
    int protocol = 0;  // a LinkProtocolValue: 0 not connected, 1 binary, 2 NMEA
    std::uint64_t bytes = 0;
    std::uint64_t frames = 0;
    std::uint64_t sentences = 0;
    DropTally drops;
    std::optional<double> lastTtffSeconds;
};

// What the link says of itself now, from any thread: its receiver's state and the counts as of the
// comm reader's last pause.
LinkFigures LinkFiguresOf(GpsComm& comm);

}  // namespace vexa
