#include "evaluation/report/summary_json.h"

#include "evaluation/report/json_writer.h"

namespace vexa {

namespace {

void WriteErrorFigures(JsonWriter& json, const std::optional<ErrorFigures>& figures) {
    const auto metres = [&](std::string_view key, std::optional<double> value) {
        json.Number(key, figures ? value : std::nullopt, kMetreDecimals);
    };
    const ErrorFigures shown = figures.value_or(ErrorFigures{});
    metres("cep50", shown.cep50);
    metres("cep95", shown.cep95);
    metres("cep99", shown.cep99);
    metres("vertical95", shown.vertical95);
    metres("drms", shown.drms);
    metres("twodrms", shown.twoDrms);
    metres("mean_east", shown.meanEast);
    metres("mean_north", shown.meanNorth);
    metres("mean_up", shown.meanUp);
    metres("sd_east", shown.sdEast);
    metres("sd_north", shown.sdNorth);
    metres("sd_up", shown.sdUp);
}

void WriteReference(JsonWriter& json, const std::optional<ReferencePoint>& reference) {
    json.BeginObject("reference");
    json.Number("lat", reference ? std::optional(reference->position.latitude) : std::nullopt, kDegreeDecimals);
    json.Number("lon", reference ? std::optional(reference->position.longitude) : std::nullopt, kDegreeDecimals);
    json.Number("height", reference ? std::optional(reference->position.height) : std::nullopt, kMetreDecimals);
    json.Text("source", reference ? ReferenceSourceName(reference->source) : "none");
    if (reference && reference->survey) {
        json.BeginObject("survey");
        json.Count("fixes", reference->survey->fixes);
        json.Number("seconds", reference->survey->seconds, kSecondDecimals);
        WriteErrorFigures(json, reference->survey->spread);
        json.EndObject();
    } else {
        json.Null("survey");
    }
    json.EndObject();
}

void WriteTtff(JsonWriter& json, const TtffTracker& ttff) {
    json.BeginObject("ttff");
    for (const ResetKind kind : kResetKinds) {
        const TtffFigures& figures = ttff.Figures(kind);
        json.BeginObject(ResetKindName(kind));
        json.Count("runs", figures.runs);
        json.Count("failures", figures.failures);
        json.Number("min", figures.min, kSecondDecimals);
        json.Number("median", figures.median, kSecondDecimals);
        json.Number("mean", figures.mean, kSecondDecimals);
        json.Number("p90", figures.p90, kSecondDecimals);
        json.Number("p95", figures.p95, kSecondDecimals);
        json.Number("max", figures.max, kSecondDecimals);
        json.Number("sd", figures.sd, kSecondDecimals);
        json.EndObject();
    }
    json.EndObject();
}

}  // namespace

std::string SummaryJson(const ReportContents& contents) {
    const AccuracyFigures& figures = contents.accuracy.Figures();
    JsonWriter json;
    json.BeginObject("fixes");
    json.Count("total", figures.counts.Total());
    for (const FixKind kind : kFixKinds) json.Count(FixKindName(kind), figures.counts.Of(kind));
    json.EndObject();
    WriteReference(json, contents.accuracy.Reference());
    json.BeginObject("accuracy");
    WriteErrorFigures(json, figures.accuracy);
    json.EndObject();
    json.BeginObject("precision");
    WriteErrorFigures(json, figures.precision);
    json.EndObject();
    if (const std::optional<ReceiverEstimateFigures>& estimate = figures.receiverEstimate) {
        json.BeginObject("receiver_estimate");
        json.Count("fixes", estimate->fixes);
        json.Number("sigma_east", estimate->sigmaEast, kMetreDecimals);
        json.Number("sigma_north", estimate->sigmaNorth, kMetreDecimals);
        json.Number("sigma_up", estimate->sigmaUp, kMetreDecimals);
        json.EndObject();
    } else {
        json.Null("receiver_estimate");
    }
    WriteTtff(json, contents.ttff);
    return json.Finish();
}

}  // namespace vexa
