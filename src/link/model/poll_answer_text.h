#pragma once

#include <string>
#include <string_view>

#include "receiver/binary/records.h"

namespace vexa {

// The message boxes that show the answers to the software version and clock status polls.
inline constexpr std::string_view kSwVersionCaption = "SW Version";
inline constexpr std::string_view kClockStatusCaption = "Clock Status";

// The version text as the receiver sent it, up to its terminator or the record's end.
std::string SwVersionText(const SwVersion& version);

// Six lines: week, time of week, satellite count, clock offset, clock bias and estimated time.
std::string ClockStatusText(const ClockStatus& status);

}  // namespace vexa
