#pragma once

#include <optional>

#include "receiver/commands/command_builders.h"

namespace vexa::sim {

// Seconds from a reset of each kind to the first fix; the receiver also counts power-on as a hot start.
struct TimesToFirstFix {
    double hot = 2.0;
    double warm = 30.0;
    double cold = 45.0;
    double factory = 60.0;

    double of(ResetKind kind) const;
};

// How far the receiver has come since its last reset: which channels track, and when the fix returns.
class FixAcquisition {
public:
    enum class ChannelProgress { Idle, Searching, Tracking };

    explicit FixAcquisition(TimesToFirstFix times);

    void reset(ResetKind kind, double nowSeconds);
    ChannelProgress channel(int index, double nowSeconds) const;
    bool fixAllowed(double nowSeconds) const;
    // The time to first fix, once: at the first call that finds the fix allowed after a reset.
    std::optional<double> takeFirstFix(double nowSeconds);

private:
    double acquiredAt(int index) const;

    TimesToFirstFix times_;
    ResetKind kind_ = ResetKind::Hot;
    double resetAt_ = 0;
    bool firstFixReported_ = false;
};

}  // namespace vexa::sim
