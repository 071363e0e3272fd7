#pragma once

#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "evaluation/accuracy_tracker.h"
#include "evaluation/ttff_tracker.h"
#include "receiver/fix/gnss_listener.h"

namespace vexa {

// What --compare --report keeps of one receiver over the run: its fixes, for the accuracy figures,
// and the mean C/N0 of each satellite it tracked. Told on the comm reader thread; read once the
// reader has stopped.
class ComparisonRecord : public GnssListener {
public:
    using Satellite = std::pair<GnssId, int>;

    void onFix(const GnssFix& fix) override;
    void onSky(const GnssSky& sky) override;

    // From any thread; the figures are about it from then on.
    void SetReference(const ReferencePoint& reference);
    AccuracyTracker& Tracker() { return tracker_; }
    std::map<Satellite, double> MeanCn0() const;

private:
    struct Sum {
        double total = 0;
        std::size_t count = 0;
    };

    mutable std::mutex mutex_;
    AccuracyTracker tracker_;
    std::map<Satellite, Sum> cn0_;
};

struct ComparedReceiver {
    std::string name;
    ComparisonRecord& record;
    // The receiver's campaign runs; none outside a campaign.
    const TtffTracker* runs = nullptr;
    // Its report's title; its name when empty.
    std::string title;
};

inline constexpr const char* kComparisonCsvName = "comparison.csv";

// Writes into `folder` each receiver's own report, in a folder named for it, and comparison.csv: a
// row per figure and a column per receiver: its fixes, its accuracy about `reference` (precision
// about its own mean without one: CEP50, CEP95, CEP99, DRMS, 2DRMS, vertical 95 %, metres), and for
// each satellite every receiver tracked, its mean C/N0 less the first receiver's (dB-Hz), then the
// mean of those differences; after a campaign, for each reset kind run, its runs, failures and times
// to first fix (min, median, mean, p90, p95, max, sd, the receiver's own mean; seconds). Gives why
// it could not, empty on success.
std::string WriteComparisonReport(const std::filesystem::path& folder, const std::optional<GeodeticPoint>& reference,
                                  const std::vector<ComparedReceiver>& receivers);

}  // namespace vexa
