#include "history/time_axis.h"

#include <algorithm>

namespace vexa {

namespace {

// The step of an epoch without time stays within what receivers send: 50 Hz to one in ten seconds.
constexpr AxisMs kShortestStep = 20;
constexpr AxisMs kLongestStep = 10000;

}  // namespace

AxisMs TimeAxis::Place(const std::optional<UtcTime>& time) {
    const AxisMs next = latest_ ? *latest_ + step_ : 0;
    if (!time) return *(latest_ = next);

    AxisMs axis = next;
    if (latestTime_) {
        const AxisMs gap = (*time - *latestTime_).count();
        if (!breakPending_ && gap >= 0 && gap <= kLongestGap.count()) {
            axis = std::max(*latestTimedAxis_ + gap, *latest_);
            if (gap > 0) step_ = std::clamp(gap, kShortestStep, kLongestStep);
            if (axis != *latestTimedAxis_ + gap) segments_.push_back({axis, *time});
        } else {
            breaks_.push_back({axis, *latestTime_, *time});
            if (breaks_.size() > kMostBreaks) breaks_.pop_front();
            segments_.push_back({axis, *time});
        }
    } else {
        segments_.push_back({axis, *time});
    }
    if (segments_.size() > kMostBreaks) segments_.pop_front();
    breakPending_ = false;
    latestTime_ = time;
    latestTimedAxis_ = axis;
    return *(latest_ = axis);
}

std::optional<UtcTime> TimeAxis::UtcAt(AxisMs axis) const {
    const auto after = std::ranges::upper_bound(segments_, axis, {}, &AxisSegment::axis);
    if (after == segments_.begin()) return std::nullopt;
    const AxisSegment& segment = *std::prev(after);
    return segment.utc + std::chrono::milliseconds(axis - segment.axis);
}

}  // namespace vexa
