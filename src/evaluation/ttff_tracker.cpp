#include "evaluation/ttff_tracker.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "evaluation/nearest_rank.h"

namespace vexa {

namespace {

// A time to fix beyond this (about 116 days) is garbage, not a measurement.
constexpr double kLongestSeconds = 1e7;

bool Usable(const std::optional<double>& seconds) { return !seconds || (*seconds >= 0.0 && *seconds <= kLongestSeconds); }

}  // namespace

bool TtffTracker::Add(const TtffRun& run) {
    if (!Usable(run.ttffAny) || !Usable(run.ttff3d) || !Usable(run.ttffWithinRadius) || !Usable(run.receiverTtff)) {
        return false;
    }
    runs_.push_back(run);
    figures_[static_cast<std::size_t>(run.kind)].reset();
    return true;
}

void TtffTracker::Clear() {
    runs_.clear();
    figures_ = {};
}

const TtffFigures& TtffTracker::Figures(ResetKind kind) const {
    std::optional<TtffFigures>& cached = figures_[static_cast<std::size_t>(kind)];
    if (cached) return *cached;
    TtffFigures figures;
    std::vector<double> times;
    double reported = 0.0;
    std::size_t reports = 0;
    for (const TtffRun& run : runs_) {
        if (run.kind != kind) continue;
        if (run.Failed()) ++figures.failures;
        if (run.outcome != RunOutcome::Stopped) ++figures.runs;
        if (!run.Succeeded()) continue;
        times.push_back(*run.ttffAny);
        if (run.receiverTtff) {
            reported += *run.receiverTtff;
            ++reports;
        }
    }
    if (reports > 0) figures.receiverMean = reported / static_cast<double>(reports);
    if (!times.empty()) {
        const auto [least, most] = std::minmax_element(times.begin(), times.end());
        figures.min = *least;
        figures.max = *most;
        const double count = static_cast<double>(times.size());
        const double mean = std::accumulate(times.begin(), times.end(), 0.0) / count;
        figures.mean = mean;
        if (times.size() > 1) {
            double squares = 0.0;
            for (const double time : times) squares += (time - mean) * (time - mean);
            figures.sd = std::sqrt(squares / (count - 1.0));
        }
        static constexpr std::array kPercents = {50, 90, 95};
        const std::vector<double> percentiles = NearestRankPercentiles(times, kPercents);
        figures.median = percentiles[0];
        figures.p90 = percentiles[1];
        figures.p95 = percentiles[2];
    }
    cached = figures;
    return *cached;
}

}  // namespace vexa
