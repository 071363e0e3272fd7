#pragma once

#include <cstdint>
#include <deque>
#include <optional>

#include "receiver/fix/gnss_fix.h"

namespace vexa {

// Milliseconds along the history's one time axis; never decreasing in arrival order.
using AxisMs = std::int64_t;

// Where the receiver's time broke: it went backwards or jumped ahead by more than kLongestGap.
// The axis goes on by one epoch's step there.
struct TimeBreak {
    AxisMs axis = 0;  // the first epoch after the break
    UtcTime before;
    UtcTime after;
};

// A stretch of the axis along which receiver time runs with it: UTC at `axis` is `utc`.
struct AxisSegment {
    AxisMs axis = 0;
    UtcTime utc;
};

// Places epochs on the axis in arrival order: by their receiver time where it runs on, and where
// an epoch has no time, or the time breaks, one step (the last interval seen) after the one before.
class TimeAxis {
public:
    static constexpr std::chrono::milliseconds kLongestGap = std::chrono::hours(1);
    static constexpr std::size_t kMostBreaks = 10000;  // the oldest are forgotten beyond this

    AxisMs Place(const std::optional<UtcTime>& time);
    // The next epoch with a time continues nothing before it: the axis breaks there whatever its time.
    void BreakHere() { breakPending_ = true; }

    const std::deque<TimeBreak>& Breaks() const { return breaks_; }
    // The receiver time at a point of the axis, where a stretch with time covers it.
    std::optional<UtcTime> UtcAt(AxisMs axis) const;
    std::optional<AxisMs> Latest() const { return latest_; }

private:
    std::optional<AxisMs> latest_;
    std::optional<AxisMs> latestTimedAxis_;
    std::optional<UtcTime> latestTime_;
    AxisMs step_ = 1000;
    bool breakPending_ = false;
    std::deque<TimeBreak> breaks_;
    std::deque<AxisSegment> segments_;
};

}  // namespace vexa
