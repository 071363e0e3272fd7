#pragma once

#include <cstdint>
#include <istream>
#include <optional>

namespace vexa {

// The first place at or after `from` where a binary frame (its two start bytes) or an NMEA
// sentence (a '$', which never appears inside one) starts in `capture`: where the frame machine,
// started afresh at `from`, would take up the stream. Nothing when none follows. Reads `capture`
// from `from` onwards, in pieces.
std::optional<std::uint64_t> FindMessageStart(std::istream& capture, std::uint64_t from);

}  // namespace vexa
