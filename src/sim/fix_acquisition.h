#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <random>

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

// Seconds to the first fix drawn anew at each reset of a kind, uniform from min to max.
struct TtffSpread {
    double min = 0.0;
    double max = 0.0;
};
// One per reset kind, in the order of kResetKinds; a kind without one takes its fixed time.
using TtffSpreads = std::array<std::optional<TtffSpread>, kResetKinds.size()>;

// How far the receiver has come since its last reset: which channels track, and when the fix returns.
class FixAcquisition {
public:
    enum class ChannelProgress { Idle, Searching, Tracking };

    // The spreads' draws follow from `seed`, so that a run can be repeated.
    explicit FixAcquisition(TimesToFirstFix times, const TtffSpreads& spreads = {}, std::uint32_t seed = 1);

    void reset(ResetKind kind, double nowSeconds);
    ChannelProgress channel(int index, double nowSeconds) const;
    bool fixAllowed(double nowSeconds) const;
    // The time to first fix, once: at the first call that finds the fix allowed after a reset.
    std::optional<double> takeFirstFix(double nowSeconds);

private:
    double acquiredAt(int index) const;

    TimesToFirstFix times_;
    TtffSpreads spreads_;
    std::mt19937 draws_;
    double ttff_ = 0;  // of the last reset
    ResetKind kind_ = ResetKind::Hot;
    double resetAt_ = 0;
    bool firstFixReported_ = false;
};

}  // namespace vexa::sim
