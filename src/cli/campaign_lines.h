#pragma once

#include <chrono>
#include <string>

#include "evaluation/accuracy_tracker.h"
#include "evaluation/campaign.h"
#include "evaluation/survey_in.h"
#include "evaluation/ttff_tracker.h"

namespace vexa {

// The line of a run as it ends: "run 2/5 hot: fixed; first fix 2.3 s, 3D 2.3 s, within 10 m 4.1 s,
// receiver's own 2.0 s; about 1 min 10 s left". A time that did not come is "-".
std::string RunLine(const TtffRun& run, const CampaignProgress& progress, double radius);

// The figures of a reset kind: "cold: 5 runs, 1 failed; first fix min 30.1 s, median ..., sd 2.2 s".
std::string TtffFiguresLine(ResetKind kind, const TtffFigures& figures);

// The accuracy line of a set of fixes: "fixes 3600 (3d 3600); about the reference: CEP50 1.18 m, CEP95
// 2.45 m, vertical 95 % 3.90 m, DRMS 1.41 m; precision: CEP50 ..." or "no fix" when there was none.
std::string AccuracyLine(const AccuracyFigures& figures);

// The survey's result: "survey: reference 37.387500012,-121.972000034,25.12 (300 fixes over 299 s,
// CEP50 1.19 m)".
std::string SurveyLine(const ReferencePoint& reference);

}  // namespace vexa
