#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "evaluation/local_frame.h"

namespace vexa {

// The figures of a set of position errors about one point (the reference, or the fixes' own mean),
// in metres. Percentiles by the nearest-rank rule (nearest_rank.h).
//   CEP50, CEP95, CEP99: horizontal error percentiles; vertical95: the 95th percentile of |up|.
//   DRMS = sqrt(mean(east^2 + north^2)) about the point; 2DRMS twice that.
//   mean and sd of east, north and up: sd is the population one (divided by n). The figures
//   describe the recorded fixes themselves, and so DRMS^2 = meanEast^2 + sdEast^2 + meanNorth^2 +
//   sdNorth^2 holds exactly; over the thousands of fixes of a test, n - 1 would change nothing seen.
// The vertical figures are of the fixes with a measured height only, and are empty without any.
struct ErrorFigures {
    std::size_t fixes = 0;
    std::size_t verticalFixes = 0;
    double cep50 = 0.0;
    double cep95 = 0.0;
    double cep99 = 0.0;
    double drms = 0.0;
    double twoDrms = 0.0;
    double meanEast = 0.0;
    double meanNorth = 0.0;
    double sdEast = 0.0;
    double sdNorth = 0.0;
    std::optional<double> vertical95;
    std::optional<double> meanUp;
    std::optional<double> sdUp;
};

// The mean of the offsets: east and north over all, up over those that have one (empty without any).
// Zero for no offsets.
EnuOffset MeanOffsetOf(std::span<const EnuOffset> offsets);

// The figures of `offsets` taken about `centre` (an empty up of the centre counts as 0), or none
// when there are no offsets. `scratch` holds the errors while they are selected, so that repeated
// calls reuse one buffer.
std::optional<ErrorFigures> ErrorFiguresAbout(std::span<const EnuOffset> offsets, const EnuOffset& centre,
                                              std::vector<double>& scratch);

}  // namespace vexa
