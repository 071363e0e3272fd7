#include "metrics/link_figures.h"

#include "link/gps_comm.h"

namespace vexa {

LinkFigures LinkFiguresOf(GpsComm& comm) {
    const GpsComm::PausedCounts counts = comm.CountsAtLastPause();
    LinkFigures figures;
    figures.protocol = comm.Context().LinkProtocol;
    figures.connected = figures.protocol != kNotConnected;
    figures.bytes = counts.received.bytes;
    figures.frames = counts.received.frames;
    figures.sentences = counts.received.sentences;
    figures.drops = counts.drops;
    if (const std::optional<TtffSeconds> ttff = comm.Context().Ttff.seconds()) figures.lastTtffSeconds = ttff->seconds;
    return figures;
}

}  // namespace vexa
