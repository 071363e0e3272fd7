#pragma once

#include <cstddef>
#include <string>

#include "evaluation/accuracy_tracker.h"
#include "evaluation/ttff_tracker.h"

namespace vexa {

// fixes.csv, one row per fix: time (ISO 8601 UTC), lat, lon (degrees), height (metres above the
// ellipsoid), kind (2d, 3d, dgps, rtk_float, rtk_fixed), and its error about the reference: east,
// north, up, horizontal_error (metres). A value not known is left empty: the errors without a
// reference, up for a fix without a measured height. When any fix carries the receiver's own
// estimate, three columns follow: receiver_sigma_east, receiver_sigma_north, receiver_sigma_up.
// Numbers in the C locale. Rows are made one at a time, so a long test is written without holding
// the whole file.
std::string FixesCsvHeader(const AccuracyTracker& accuracy);
void AppendFixesCsvRow(const AccuracyTracker& accuracy, std::size_t index, std::string& out);

// runs.csv: kind, start (ISO 8601 UTC), ttff_any, ttff_3d, ttff_within_r, receiver_ttff (seconds,
// empty when that fix did not come), outcome (fixed, timed_out, lost, stopped).
std::string RunsCsv(const TtffTracker& ttff);

}  // namespace vexa
