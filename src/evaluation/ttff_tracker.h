#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "evaluation/ttff_run.h"

namespace vexa {

// The time-to-first-fix figures of one reset kind, in seconds. `runs` counts every run but those
// the user stopped; `failures` those of them without a fix (timed out, receiver lost). The rest are
// of the successful runs' ttffAny: median and percentiles by the nearest-rank rule (nearest_rank.h,
// the median of an even count the lower middle value); sd is the sample one (divided by n - 1), as
// the runs are a few draws of the receiver's behaviour, and is empty below two runs.
struct TtffFigures {
    std::size_t runs = 0;
    std::size_t failures = 0;
    std::optional<double> min;
    std::optional<double> median;
    std::optional<double> mean;
    std::optional<double> p90;
    std::optional<double> p95;
    std::optional<double> max;
    std::optional<double> sd;
    std::optional<double> receiverMean;  // of the receiver's own reports, over the successful runs that had one
};

// Keeps the runs of a campaign and gives the figures of each reset kind, worked out when asked for
// and kept until a run of that kind arrives. Used from one thread.
class TtffTracker {
public:
    // A run with a time that is negative, not finite or beyond 10^7 s is refused (false) and changes nothing.
    bool Add(const TtffRun& run);
    void Clear();

    std::span<const TtffRun> Runs() const { return runs_; }
    const TtffFigures& Figures(ResetKind kind) const;

private:
    std::vector<TtffRun> runs_;
    mutable std::array<std::optional<TtffFigures>, kResetKinds.size()> figures_;
};

}  // namespace vexa
