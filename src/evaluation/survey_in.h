#pragma once

#include <chrono>
#include <optional>

#include "evaluation/accuracy_tracker.h"
#include "evaluation/fix_sample.h"
#include "evaluation/reference_point.h"

namespace vexa {

// A reference point averaged from the receiver's own fixes over a chosen time, counted by the
// fixes' own times (so a capture surveys as the live receiver did). Fixes without a time, or older
// than the latest, cannot be placed in it and are left out. Its spread about the mean is shown with it.
class SurveyIn {
public:
    explicit SurveyIn(std::chrono::seconds duration) : duration_(duration) {}

    // Takes a fix until the survey is complete; false for a fix that is left out or comes after.
    bool Add(const FixSample& fix);

    bool Complete() const;
    std::size_t Fixes() const { return fixes_.Fixes().size(); }
    // Seconds from the first fix to the latest.
    double Elapsed() const;
    // The spread of the fixes so far about their mean (the survey's own precision).
    std::optional<ErrorFigures> Spread() const { return fixes_.Figures().precision; }
    // Once complete: the mean, with what the survey averaged.
    std::optional<ReferencePoint> Result() const;

private:
    std::chrono::seconds duration_;
    std::optional<UtcTime> first_;
    std::optional<UtcTime> latest_;
    AccuracyTracker fixes_;
};

}  // namespace vexa
