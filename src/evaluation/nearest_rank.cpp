#include "evaluation/nearest_rank.h"

#include <algorithm>

namespace vexa {

std::size_t NearestRank(int percent, std::size_t count) {
    // In integers, so that 95 % of 20 is the 19th value and not the 20th through rounding.
    const std::size_t rank = (static_cast<std::size_t>(percent) * count + 99) / 100;
    return std::max<std::size_t>(rank, 1);
}

std::vector<double> NearestRankPercentiles(std::span<double> values, std::span<const int> percents) {
    std::vector<double> found;
    if (values.empty()) return found;
    // Each selection leaves the larger values behind its rank, so the next one searches only those.
    auto searchFrom = values.begin();
    for (const int percent : percents) {
        const auto at = values.begin() + static_cast<std::ptrdiff_t>(NearestRank(percent, values.size()) - 1);
        if (at >= searchFrom) {
            std::nth_element(searchFrom, at, values.end());
            searchFrom = at;
        }
        found.push_back(*at);
    }
    return found;
}

}  // namespace vexa
