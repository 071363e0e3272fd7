#include "cli/campaign_lines.h"

#include "evaluation/fixed_text.h"

namespace vexa {

namespace {

std::string Seconds(const std::optional<double>& seconds) {
    return seconds ? FixedText(*seconds, 1) + " s" : std::string("-");
}

std::string Metres(double metres) { return FixedText(metres, 2) + " m"; }

std::string TimeLeft(std::chrono::milliseconds left) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left).count();
    if (seconds < 60) return std::to_string(seconds) + " s";
    if (seconds < 3600) return std::to_string(seconds / 60) + " min " + std::to_string(seconds % 60) + " s";
    return std::to_string(seconds / 3600) + " h " + std::to_string(seconds % 3600 / 60) + " min";
}

std::string ErrorsLine(const ErrorFigures& figures) {
    std::string line = "CEP50 " + Metres(figures.cep50) + ", CEP95 " + Metres(figures.cep95) + ", CEP99 " +
                       Metres(figures.cep99);
    if (figures.vertical95) line += ", vertical 95 % " + Metres(*figures.vertical95);
    return line + ", DRMS " + Metres(figures.drms) + ", 2DRMS " + Metres(figures.twoDrms);
}

}  // namespace

std::string RunLine(const TtffRun& run, const CampaignProgress& progress, double radius) {
    std::string line = "run " + std::to_string(progress.runsDone) + "/" + std::to_string(progress.runsTotal) + " " +
                       std::string(ResetKindName(run.kind)) + ": " + std::string(RunOutcomeName(run.outcome)) +
                       "; first fix " + Seconds(run.ttffAny) + ", 3D " + Seconds(run.ttff3d) + ", within " +
                       FixedText(radius, 0) + " m " + Seconds(run.ttffWithinRadius) + ", receiver's own " +
                       Seconds(run.receiverTtff);
    if (progress.runsDone < progress.runsTotal && progress.phase != CampaignPhase::Stopped) {
        line += "; about " + TimeLeft(progress.timeLeft) + " left";
    }
    return line;
}

std::string TtffFiguresLine(ResetKind kind, const TtffFigures& figures) {
    std::string line = std::string(ResetKindName(kind)) + ": " + std::to_string(figures.runs) + " runs, " +
                       std::to_string(figures.failures) + " failed";
    if (!figures.median) return line;
    return line + "; first fix min " + Seconds(figures.min) + ", median " + Seconds(figures.median) + ", mean " +
           Seconds(figures.mean) + ", p90 " + Seconds(figures.p90) + ", p95 " + Seconds(figures.p95) + ", max " +
           Seconds(figures.max) + ", sd " + Seconds(figures.sd);
}

std::string AccuracyLine(const AccuracyFigures& figures) {
    if (figures.counts.Total() == 0) return "no fix";
    std::string line = "fixes " + std::to_string(figures.counts.Total()) + " (";
    bool first = true;
    for (const FixKind kind : kFixKinds) {
        if (figures.counts.Of(kind) == 0) continue;
        line += (first ? "" : ", ") + std::string(FixKindName(kind)) + " " + std::to_string(figures.counts.Of(kind));
        first = false;
    }
    line += ")";
    if (figures.accuracy) line += "; about the reference: " + ErrorsLine(*figures.accuracy);
    if (figures.precision) line += "; about their mean: " + ErrorsLine(*figures.precision);
    if (const std::optional<ReceiverEstimateFigures>& estimate = figures.receiverEstimate) {
        line += "; the receiver's own sigma (RMS):";
        if (estimate->sigmaEast) line += " east " + Metres(*estimate->sigmaEast);
        if (estimate->sigmaNorth) line += " north " + Metres(*estimate->sigmaNorth);
        if (estimate->sigmaUp) line += " up " + Metres(*estimate->sigmaUp);
    }
    return line;
}

std::string SurveyLine(const ReferencePoint& reference) {
    const GeodeticPoint& point = reference.position;
    std::string line = "survey: reference " + FixedText(point.latitude, 9) + "," + FixedText(point.longitude, 9) +
                       "," + FixedText(point.height, 3);
    if (reference.survey) {
        line += " (" + std::to_string(reference.survey->fixes) + " fixes over " +
                FixedText(reference.survey->seconds, 0) + " s, CEP50 " + Metres(reference.survey->spread.cep50) + ")";
    }
    return line;
}

}  // namespace vexa
