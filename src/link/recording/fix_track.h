#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <vector>

#include "receiver/fix/gnss_fix.h"
#include "receiver/fix/gnss_listener.h"
#include "receiver/fix/gpx_track.h"

namespace vexa {

// The track its owner keeps of one receiver: every fix with a position (both protocols), oldest
// first, the oldest dropped beyond kLongestTrack. The first fix after each connection, and after
// the input starts afresh, starts a segment; a lost link or a disconnection forgets nothing, so the
// track can still be exported. Its owner adds it to the model's GNSS listeners (which tell it under
// the model lock) and reads it from any thread by copies.
class FixTrack final : public GnssListener {
public:
    // A fix a second for twelve days; beyond that the oldest fixes make room.
    static constexpr std::size_t kLongestTrack = 1 << 20;

    std::vector<TrackPoint> Points() const;

    void onFix(const GnssFix& fix) override;
    void onSky(const GnssSky& /*sky*/) override {}
    void onRestart() override { StartSegment(); }
    void onConnected() override { StartSegment(); }

private:
    void StartSegment();

    mutable std::mutex mutex_;
    std::deque<TrackPoint> points_;
    bool segmentPending_ = true;
};

}  // namespace vexa
