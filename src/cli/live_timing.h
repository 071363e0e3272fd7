#pragma once

#include <algorithm>
#include <chrono>

namespace vexa {

// The live front ends' one-second tick, which the connection controller and the link recovery count.
inline constexpr std::chrono::milliseconds kTickPeriod{1000};
// What the streams may still take once the run is over; a stream nobody reads loses the rest.
inline constexpr std::chrono::milliseconds kLastOutputTime{500};

// The wait until `when`, rounded up so that a wait for it never spins.
inline std::chrono::milliseconds Until(std::chrono::steady_clock::time_point when) {
    return std::chrono::ceil<std::chrono::milliseconds>(
        std::max(when - std::chrono::steady_clock::now(), std::chrono::steady_clock::duration::zero()));
}

}  // namespace vexa
