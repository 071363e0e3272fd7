// Fixes and runs as a receiver or a campaign may give them, garbage included: the bytes are read as
// doubles (latitude, longitude, height, an estimate, a time to fix). Whatever they hold, the figures
// are finite and the summary has no NaN or infinity in it.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "evaluation/evaluation_charts.h"
#include "evaluation/report/report_html.h"
#include "evaluation/report/summary_json.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

void RequireFinite(const std::optional<vexa::ErrorFigures>& figures) {
    if (!figures) return;
    for (const double value : {figures->cep50, figures->cep95, figures->cep99, figures->drms, figures->meanEast, figures->sdNorth}) {
        Require(std::isfinite(value));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kRecord = 5 * sizeof(double) + 1;
    vexa::AccuracyTracker accuracy;
    vexa::TtffTracker ttff;
    for (std::size_t at = 0; at + kRecord <= size; at += kRecord) {
        double values[5];
        std::memcpy(values, data + at, sizeof values);
        const std::uint8_t flags = data[at + sizeof values];
        vexa::FixSample fix;
        fix.latitude = values[0];
        fix.longitude = values[1];
        if (flags & 1) fix.height = values[2];
        if (flags & 2) fix.estimate.sigmaEast = values[3];
        fix.kind = vexa::kFixKinds[(flags >> 2) % vexa::kFixKinds.size()];
        accuracy.Add(fix);
        if (flags & 0x20) accuracy.SetReference(vexa::ReferencePoint{{values[0], values[1], values[2]}, vexa::ReferenceSource::Entered, {}});
        vexa::TtffRun run;
        run.kind = vexa::kResetKinds[(flags >> 6) % vexa::kResetKinds.size()];
        run.ttffAny = values[4];
        ttff.Add(run);
    }
    RequireFinite(accuracy.Figures().accuracy);
    RequireFinite(accuracy.Figures().precision);
    const vexa::ReportContents contents{"", accuracy, ttff};
    const std::string summary = vexa::SummaryJson(contents);
    Require(summary.find("nan") == std::string::npos && summary.find("inf") == std::string::npos);
    Require(!vexa::ReportHtml(contents).empty());
    return 0;
}
