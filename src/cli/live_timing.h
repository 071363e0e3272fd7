#pragma once

#include <algorithm>
#include <chrono>

#include "platform/clock.h"

namespace vexa {

// The live front ends' one-second tick, which the connection controller and the link recovery count.
inline constexpr std::chrono::milliseconds kTickPeriod{1000};
// What the streams may still take once the run is over; a stream nobody reads loses the rest.
inline constexpr std::chrono::milliseconds kLastOutputTime{500};

// The wait from the clock's present until `when`, rounded up so that a wait for it never spins.
inline std::chrono::milliseconds Until(const Clock& clock, SteadyTime when) {
    return std::chrono::ceil<std::chrono::milliseconds>(std::max(when - clock.SteadyNow(), SteadyTime::duration::zero()));
}

}  // namespace vexa
