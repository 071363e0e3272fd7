#include "evaluation/accuracy_tracker.h"

#include <algorithm>
#include <cmath>

namespace vexa {

namespace {

std::optional<double> RootMeanSquare(const std::vector<double>& values) {
    if (values.empty()) return std::nullopt;
    double sum = 0.0;
    for (const double value : values) sum += value * value;
    return std::sqrt(sum / static_cast<double>(values.size()));
}

std::optional<ReceiverEstimateFigures> EstimateFigures(std::span<const FixSample> fixes) {
    ReceiverEstimateFigures figures;
    std::vector<double> east;
    std::vector<double> north;
    std::vector<double> up;
    for (const FixSample& fix : fixes) {
        const ReceiverErrorEstimate& estimate = fix.estimate;
        if (!estimate.sigmaEast && !estimate.sigmaNorth && !estimate.sigmaUp) continue;
        ++figures.fixes;
        if (estimate.sigmaEast) east.push_back(*estimate.sigmaEast);
        if (estimate.sigmaNorth) north.push_back(*estimate.sigmaNorth);
        if (estimate.sigmaUp) up.push_back(*estimate.sigmaUp);
    }
    if (figures.fixes == 0) return std::nullopt;
    figures.sigmaEast = RootMeanSquare(east);
    figures.sigmaNorth = RootMeanSquare(north);
    figures.sigmaUp = RootMeanSquare(up);
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
    // A fix without a measured height is placed at the frame's height: its horizontal offset holds,
    // its up means nothing.
    EnuOffset offset = frame_->OffsetOf(fix.Position(frame_->Origin().height));
    if (!fix.HasVertical()) offset.up.reset();
    return offset;
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
    if (!meanOffset_) {
        double east = 0.0;
        double north = 0.0;
        double up = 0.0;
        std::size_t vertical = 0;
        for (const EnuOffset& offset : offsets_) {
            east += offset.east;
            north += offset.north;
            if (offset.up) {
                up += *offset.up;
                ++vertical;
            }
        }
        const double count = static_cast<double>(std::max<std::size_t>(offsets_.size(), 1));
        meanOffset_ = EnuOffset{east / count, north / count, std::nullopt};
        if (vertical > 0) meanOffset_->up = up / static_cast<double>(vertical);
    }
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
