#include "evaluation/ttff_tracker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vexa {
namespace {

TtffRun RunOf(ResetKind kind, std::optional<double> ttff, RunOutcome outcome = RunOutcome::Fixed) {
    TtffRun run;
    run.kind = kind;
    run.ttffAny = ttff;
    run.outcome = outcome;
    return run;
}

// Cold: fixes after 30, 45, 38, 50, 41 s, one timed out, one lost the receiver, one stopped.
//   sorted 30 38 41 45 50: median the 3rd = 41, p90 and p95 the 5th = 50, mean 40.8,
//   sd over n - 1: squares of -10.8 -2.8 0.2 4.2 9.2 sum to 226.8, / 4 = 56.7.
// Hot: 1.2 and 0.8: median the 1st = 0.8, p90 the 2nd = 1.2, sd sqrt(0.08).
// Warm: no runs. Factory: one run, timed out.
TEST(TtffTracker, FiguresPerResetKindOfAHandSetWithFailures) {
    TtffTracker tracker;
    for (const double seconds : {30.0, 45.0, 38.0, 50.0, 41.0}) tracker.Add(RunOf(ResetKind::Cold, seconds));
    tracker.Add(RunOf(ResetKind::Cold, std::nullopt, RunOutcome::TimedOut));
    tracker.Add(RunOf(ResetKind::Cold, std::nullopt, RunOutcome::Lost));
    tracker.Add(RunOf(ResetKind::Cold, std::nullopt, RunOutcome::Stopped));
    tracker.Add(RunOf(ResetKind::Hot, 1.2));
    tracker.Add(RunOf(ResetKind::Hot, 0.8));
    tracker.Add(RunOf(ResetKind::Factory, std::nullopt, RunOutcome::TimedOut));

    struct Case {
        ResetKind kind;
        std::size_t runs, failures;
        std::optional<double> min, median, mean, p90, p95, max, sd;
    };
    const Case cases[] = {
        {ResetKind::Cold, 7, 2, 30.0, 41.0, 40.8, 50.0, 50.0, 50.0, std::sqrt(56.7)},
        {ResetKind::Hot, 2, 0, 0.8, 0.8, 1.0, 1.2, 1.2, 1.2, std::sqrt(0.08)},
        {ResetKind::Warm, 0, 0, {}, {}, {}, {}, {}, {}, {}},
        {ResetKind::Factory, 1, 1, {}, {}, {}, {}, {}, {}, {}},
    };
    for (const Case& c : cases) {
        const TtffFigures& f = tracker.Figures(c.kind);
        const char* name = ResetKindName(c.kind).data();
        EXPECT_EQ(f.runs, c.runs) << name;
        EXPECT_EQ(f.failures, c.failures) << name;
        const std::pair<std::optional<double>, std::optional<double>> values[] = {
            {f.min, c.min}, {f.median, c.median}, {f.mean, c.mean}, {f.p90, c.p90}, {f.p95, c.p95}, {f.max, c.max}, {f.sd, c.sd}};
        for (std::size_t i = 0; i < std::size(values); ++i) {
            ASSERT_EQ(values[i].first.has_value(), values[i].second.has_value()) << name << " figure " << i;
            if (values[i].first) EXPECT_NEAR(*values[i].first, *values[i].second, 1e-9) << name << " figure " << i;
        }
    }
}

TEST(TtffTracker, ANewRunChangesItsKindsFiguresAndUnusableRunsAreRefused) {
    TtffTracker tracker;
    tracker.Add(RunOf(ResetKind::Warm, 20.0));
    EXPECT_FALSE(tracker.Figures(ResetKind::Warm).sd) << "one run has no sample sd";
    tracker.Add(RunOf(ResetKind::Warm, 30.0));
    EXPECT_DOUBLE_EQ(*tracker.Figures(ResetKind::Warm).mean, 25.0);
    EXPECT_DOUBLE_EQ(*tracker.Figures(ResetKind::Warm).sd, std::sqrt(50.0));

    for (const double bad : {-1.0, 2e7, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        EXPECT_FALSE(tracker.Add(RunOf(ResetKind::Warm, bad))) << bad;
        TtffRun run = RunOf(ResetKind::Warm, 10.0);
        run.receiverTtff = bad;
        EXPECT_FALSE(tracker.Add(run)) << bad;
    }
    EXPECT_EQ(tracker.Runs().size(), 2u);
    EXPECT_EQ(tracker.Figures(ResetKind::Warm).runs, 2u);
}

}  // namespace
}  // namespace vexa
