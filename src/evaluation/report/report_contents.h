#pragma once

#include <string>

#include "evaluation/accuracy_tracker.h"
#include "evaluation/ttff_tracker.h"

namespace vexa {

// What a report is made of: a title (the receiver, the capture) and the two sets of figures; either
// may be empty, and the report says so.
struct ReportContents {
    std::string title;
    const AccuracyTracker& accuracy;
    const TtffTracker& ttff;
};

// Decimals in the report files: below a tenth of a millimetre for metres and a millisecond for
// seconds; 9 decimals of a degree are 0.1 mm on the ground.
inline constexpr int kMetreDecimals = 4;
inline constexpr int kSecondDecimals = 3;
inline constexpr int kDegreeDecimals = 9;

}  // namespace vexa
