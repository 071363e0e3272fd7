#include "cli/capture_accuracy.h"

#include "evaluation/report/report_writer.h"

namespace vexa {

void CaptureAccuracy::onFix(const GnssFix& fix) {
    if (const std::optional<FixSample> sample = FixSampleOf(fix)) tracker_.Add(*sample);
}

std::string CaptureAccuracy::WriteReport(const std::string& folder, const std::string& title,
                                         const std::optional<GeodeticPoint>& reference, bool mean) {
    if (reference) {
        tracker_.SetReference(ReferencePoint{*reference, ReferenceSource::Entered, std::nullopt});
    } else if (mean) {
        tracker_.SetReference(tracker_.MeanReference());
    }
    const TtffTracker noRuns;
    return vexa::WriteReport(folder, {title, tracker_, noRuns});
}

}  // namespace vexa
