#pragma once

#include <string>

#include "evaluation/chart.h"

namespace vexa {

// An axis from `low` to `high` widened to round steps (1, 2 or 5 times a power of ten) with about
// `aimedTicks` labelled ticks; a step never finer than `finestStep` (1 for counts). An empty or
// unusable range becomes one step wide.
ChartAxis RoundAxis(std::string title, double low, double high, int aimedTicks = 6, double finestStep = 0.0);

}  // namespace vexa
