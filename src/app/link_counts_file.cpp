#include "app/link_counts_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace vexa {

std::string LinkCountsLine(const GpsComm::PausedCounts& counts) {
    return "bytes " + std::to_string(counts.received.bytes) + ", frames " + std::to_string(counts.received.frames) +
           ", sentences " + std::to_string(counts.received.sentences) + ", dropped " +
           std::to_string(counts.received.dropped() + counts.undelivered) + DropBreakdown(counts.drops);
}

std::string WriteLinkCounts(const std::string& path, const GpsComm::PausedCounts& counts) {
    std::ofstream file(path);
    file << LinkCountsLine(counts) << '\n';
    file.close();
    if (!file) return path + ": " + std::strerror(errno);
    return {};
}

}  // namespace vexa
