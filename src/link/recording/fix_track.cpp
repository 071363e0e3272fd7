#include "link/recording/fix_track.h"

#include <optional>
#include <utility>

namespace vexa {

std::vector<TrackPoint> FixTrack::Points() const {
    std::lock_guard guard(mutex_);
    return {points_.begin(), points_.end()};
}

void FixTrack::onFix(const GnssFix& fix) {
    std::optional<TrackPoint> point = TrackPointOf(fix);
    if (!point) return;
    std::lock_guard guard(mutex_);
    point->startsSegment = std::exchange(segmentPending_, false);
    if (points_.size() == kLongestTrack) points_.pop_front();
    points_.push_back(*point);
}

void FixTrack::StartSegment() {
    std::lock_guard guard(mutex_);
    segmentPending_ = true;
}

}  // namespace vexa
