#pragma once

#include <optional>
#include <string>

#include "evaluation/accuracy_tracker.h"
#include "receiver/fix/gnss_listener.h"

namespace vexa {

// Keeps the fixes of a capture as --decode --accuracy reads it (on the reading thread).
class CaptureAccuracy : public GnssListener {
public:
    void onFix(const GnssFix& fix) override;
    void onSky(const GnssSky&) override {}

    // Measures the fixes from the entered reference, from their own mean (`mean`), or about their
    // mean only (neither), and writes the report into `folder`. Gives why it could not, empty on success.
    std::string WriteReport(const std::string& folder, const std::string& title,
                            const std::optional<GeodeticPoint>& reference, bool mean);

    const AccuracyTracker& Tracker() const { return tracker_; }

private:
    AccuracyTracker tracker_;
};

}  // namespace vexa
