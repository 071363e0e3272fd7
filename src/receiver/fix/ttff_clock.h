#pragma once

#include <mutex>
#include <optional>
#include <string>

#include "platform/clock.h"

namespace vexa {

// The time to first fix as the program sees it: counted from a connection or a reset command until
// the first fix with a position. The receiver's own report, where it sends one, ends the count too,
// so that the measured value never replaces it. Times are given by the caller, so tests choose them.
// Used from the reader and the user-interface threads.
class TtffClock {
public:
    // A connection or a reset command: counting starts (again) from `now`.
    void start(SteadyTime now);
    // The link is gone: nothing is counted.
    void stop();
    // A fix with a position at `now`: while counting, stops and gives the seconds measured;
    // otherwise nothing.
    std::optional<double> fixed(SteadyTime now);
    // The receiver reported its own time to first fix.
    void receiverReported() { stop(); }
    // While counting, the whole seconds since the start: "7 sec"; otherwise nothing.
    std::optional<std::string> counting(SteadyTime now) const;

private:
    mutable std::mutex mutex_;
    std::optional<SteadyTime> start_;
};

}  // namespace vexa
