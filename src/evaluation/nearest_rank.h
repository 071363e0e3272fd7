#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace vexa {

// Percentiles by the nearest-rank rule: the p-th percentile of n values is the smallest value with
// at least p % of the values at or below it, the ceil(p n / 100)-th smallest (the first for p = 0).
// So the median of an even count is the lower of the two middle values. No interpolation: every
// figure is a value that was measured.

// The rank (1-based) of the p-th percentile among `count` values; `count` must not be 0.
std::size_t NearestRank(int percent, std::size_t count);

// The percentiles of `values` for each of `percents` (ascending, 0 to 100), found by selection;
// `values` is reordered. Empty when there are no values.
std::vector<double> NearestRankPercentiles(std::span<double> values, std::span<const int> percents);

}  // namespace vexa
