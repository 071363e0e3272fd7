#include "evaluation/report/report_csv.h"

#include "evaluation/fixed_text.h"
#include "evaluation/report/report_contents.h"
#include "receiver/fix/utc_text.h"

namespace vexa {

namespace {

bool HasEstimates(const AccuracyTracker& accuracy) { return accuracy.Figures().receiverEstimate.has_value(); }

void AppendField(std::string& out, const std::optional<double>& value, int decimals) {
    out += ',';
    if (value) out += FixedText(*value, decimals);
}

}  // namespace

std::string FixesCsvHeader(const AccuracyTracker& accuracy) {
    std::string header = "time,lat,lon,height,kind,east,north,up,horizontal_error";
    if (HasEstimates(accuracy)) header += ",receiver_sigma_east,receiver_sigma_north,receiver_sigma_up";
    return header + "\n";
}

void AppendFixesCsvRow(const AccuracyTracker& accuracy, std::size_t index, std::string& out) {
    const FixSample& fix = accuracy.Fixes()[index];
    if (fix.time) out += IsoUtcText(*fix.time);
    AppendField(out, fix.latitude, kDegreeDecimals);
    AppendField(out, fix.longitude, kDegreeDecimals);
    AppendField(out, fix.height, kMetreDecimals);
    out += ',';
    out += FixKindName(fix.kind);
    const std::optional<EnuOffset> error = accuracy.ErrorAt(index);
    AppendField(out, error ? std::optional(error->east) : std::nullopt, kMetreDecimals);
    AppendField(out, error ? std::optional(error->north) : std::nullopt, kMetreDecimals);
    AppendField(out, error ? error->up : std::nullopt, kMetreDecimals);
    AppendField(out, error ? std::optional(error->Horizontal()) : std::nullopt, kMetreDecimals);
    if (HasEstimates(accuracy)) {
        AppendField(out, fix.estimate.sigmaEast, kMetreDecimals);
        AppendField(out, fix.estimate.sigmaNorth, kMetreDecimals);
        AppendField(out, fix.estimate.sigmaUp, kMetreDecimals);
    }
    out += '\n';
}

std::string RunsCsv(const TtffTracker& ttff) {
    std::string out = "kind,start,ttff_any,ttff_3d,ttff_within_r,receiver_ttff,outcome\n";
    for (const TtffRun& run : ttff.Runs()) {
        out += ResetKindName(run.kind);
        out += ',';
        out += IsoUtcText(run.start);
        AppendField(out, run.ttffAny, kSecondDecimals);
        AppendField(out, run.ttff3d, kSecondDecimals);
        AppendField(out, run.ttffWithinRadius, kSecondDecimals);
        AppendField(out, run.receiverTtff, kSecondDecimals);
        out += ',';
        out += RunOutcomeName(run.outcome);
        out += '\n';
    }
    return out;
}

}  // namespace vexa
