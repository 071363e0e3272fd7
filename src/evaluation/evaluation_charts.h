#pragma once

#include <optional>
#include <vector>

#include "evaluation/accuracy_tracker.h"
#include "evaluation/chart.h"
#include "evaluation/ttff_tracker.h"

namespace vexa {

// The charts of an evaluation, the same for the report and the window. Errors are about the
// reference, or about the fixes' own mean without one. Each gives none when it has nothing to show.
// Long tests are thinned to what a chart can show; a note under the chart says how.

// East against north, equal scale, with the CEP50 and CEP95 circles.
std::optional<Chart> HorizontalScatterChart(const AccuracyTracker& accuracy);
// The share of fixes (%) within each horizontal error, with CEP50 and CEP95 marked.
std::optional<Chart> ErrorCdfChart(const AccuracyTracker& accuracy);
// Horizontal and vertical error over the test (seconds from the first fix, or fix number when the
// fixes carry no time).
std::optional<Chart> ErrorOverTimeChart(const AccuracyTracker& accuracy);
// Each run's time to first fix by its number, a colour per reset kind; runs without a fix at the top.
std::optional<Chart> TtffPerRunChart(const TtffTracker& ttff);
// A histogram of the times to first fix of each reset kind that has successful runs.
std::vector<Chart> TtffHistogramCharts(const TtffTracker& ttff);

}  // namespace vexa
