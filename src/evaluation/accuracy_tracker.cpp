#include "evaluation/accuracy_tracker.h"

#include <cmath>

namespace vexa {

namespace {

// The root mean square of the values given, skipping the absent ones.
class RootMeanSquare {
public:
    void Add(const std::optional<double>& value) {
        if (!value) return;
        squares_ += *value * *value;
        ++count_;
    }
    std::optional<double> Value() const {
        if (count_ == 0) return std::nullopt;
        return std::sqrt(squares_ / static_cast<double>(count_));
    }

private:
    double squares_ = 0.0;
    std::size_t count_ = 0;
};

std::optional<ReceiverEstimateFigures> EstimateFigures(std::span<const FixSample> fixes) {
    ReceiverEstimateFigures figures;
    RootMeanSquare east;
    RootMeanSquare north;
    RootMeanSquare up;
    for (const FixSample& fix : fixes) {
        const ReceiverErrorEstimate& estimate = fix.estimate;
        if (!estimate.sigmaEast && !estimate.sigmaNorth && !estimate.sigmaUp) continue;
        ++figures.fixes;
        east.Add(estimate.sigmaEast);
        north.Add(estimate.sigmaNorth);
        up.Add(estimate.sigmaUp);
    }
    if (figures.fixes == 0) return std::nullopt;
    figures.sigmaEast = east.Value();
    figures.sigmaNorth = north.Value();
    figures.sigmaUp = up.Value();
    return figures;
}

}  // namespace

bool AccuracyTracker::SetReference(std::optional<ReferencePoint> reference) {
    if (reference && !IsUsablePosition(reference->position)) return false;
    reference_ = std::move(reference);
    Measure();
    return true;
}

bool AccuracyTracker::Add(const FixSample& fix) {
    if (!IsUsableSample(fix)) return false;
    fixes_.push_back(fix);
    if (!frame_) frame_.emplace(fix.Position(0.0));
    offsets_.push_back(OffsetOf(fix));
    ++counts_.byKind[static_cast<std::size_t>(fix.kind)];
    figures_.reset();
    meanOffset_.reset();
    return true;
}

void AccuracyTracker::Clear() {
    fixes_.clear();
    counts_ = {};
    Measure();
}

EnuOffset AccuracyTracker::OffsetOf(const FixSample& fix) const {
    return OffsetInFrame(fix, *frame_);
}

void AccuracyTracker::Measure() {
    frame_.reset();
    if (reference_) {
        frame_.emplace(reference_->position);
    } else if (!fixes_.empty()) {
        frame_.emplace(fixes_.front().Position(0.0));
    }
    offsets_.clear();
    for (const FixSample& fix : fixes_) offsets_.push_back(OffsetOf(fix));
    figures_.reset();
    meanOffset_.reset();
}

std::optional<EnuOffset> AccuracyTracker::ErrorAt(std::size_t index) const {
    if (!reference_) return std::nullopt;
    return offsets_.at(index);
}

EnuOffset AccuracyTracker::DeviationAt(std::size_t index) const {
    const EnuOffset& offset = offsets_.at(index);
    const EnuOffset& mean = MeanOffset();
    EnuOffset deviation{offset.east - mean.east, offset.north - mean.north, std::nullopt};
    if (offset.up) deviation.up = *offset.up - mean.up.value_or(0.0);
    return deviation;
}

const EnuOffset& AccuracyTracker::MeanOffset() const {
    if (!meanOffset_) meanOffset_ = MeanOffsetOf(offsets_);
    return *meanOffset_;
}

const AccuracyFigures& AccuracyTracker::Figures() const {
    if (!figures_) {
        AccuracyFigures figures;
        figures.counts = counts_;
        if (reference_) figures.accuracy = ErrorFiguresAbout(offsets_, EnuOffset{0.0, 0.0, 0.0}, scratch_);
        if (!offsets_.empty()) figures.precision = ErrorFiguresAbout(offsets_, MeanOffset(), scratch_);
        figures.receiverEstimate = EstimateFigures(fixes_);
        figures_ = std::move(figures);
    }
    return *figures_;
}

std::optional<GeodeticPoint> AccuracyTracker::MeanPosition() const {
    if (offsets_.empty()) return std::nullopt;
    return frame_->PointAt(MeanOffset());
}

std::optional<ReferencePoint> AccuracyTracker::MeanReference() const {
    const std::optional<GeodeticPoint> mean = MeanPosition();
    if (!mean) return std::nullopt;
    return ReferencePoint{*mean, ReferenceSource::Mean, std::nullopt};
}

}  // namespace vexa
