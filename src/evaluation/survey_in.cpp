#include "evaluation/survey_in.h"

namespace vexa {

bool SurveyIn::Add(const FixSample& fix) {
    if (Complete() || !fix.time || (latest_ && *fix.time < *latest_)) return false;
    if (!fixes_.Add(fix)) return false;
    if (!first_) first_ = fix.time;
    latest_ = fix.time;
    return true;
}

bool SurveyIn::Complete() const { return first_ && *latest_ - *first_ >= duration_; }

double SurveyIn::Elapsed() const {
    if (!first_) return 0.0;
    return std::chrono::duration<double>(*latest_ - *first_).count();
}

std::optional<ReferencePoint> SurveyIn::Result() const {
    if (!Complete()) return std::nullopt;
    ReferencePoint reference{*fixes_.MeanPosition(), ReferenceSource::SurveyIn, std::nullopt};
    reference.survey = SurveySummary{Fixes(), Elapsed(), *Spread()};
    return reference;
}

}  // namespace vexa
