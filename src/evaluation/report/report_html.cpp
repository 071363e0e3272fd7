#include "evaluation/report/report_html.h"

#include <vector>

#include "evaluation/evaluation_charts.h"
#include "evaluation/figure_rows.h"
#include "evaluation/fixed_text.h"
#include "evaluation/report/markup_text.h"
#include "evaluation/report/svg_chart.h"

namespace vexa {

namespace {

constexpr const char* kStyle =
    "body{font-family:sans-serif;margin:24px;color:#222;max-width:980px}"
    "h1{font-size:22px}h2{font-size:18px;margin-top:28px;border-bottom:1px solid #ccc}"
    "table{border-collapse:collapse;margin:8px 0}td,th{border:1px solid #ccc;padding:3px 10px}"
    "td{text-align:right}th{background:#f2f2f2;text-align:left}"
    ".chart{margin:12px 0}.empty{font-style:italic}.definitions{font-size:12px;color:#555}";

// Shown where a figure cannot be given.
constexpr const char* kNoValue = "&#8211;";

std::string Cell(const std::optional<double>& value, int decimals) { return value ? FixedText(*value, decimals) : kNoValue; }

std::string Row(std::string_view heading, const std::vector<std::string>& cells) {
    std::string row = "<tr><th>" + EscapedMarkup(heading) + "</th>";
    for (const std::string& cell : cells) row += "<td>" + cell + "</td>";
    return row + "</tr>\n";
}

std::string HeadingRow(const std::vector<std::string>& headings) {
    std::string row = "<tr>";
    for (const std::string& heading : headings) row += "<th>" + EscapedMarkup(heading) + "</th>";
    return row + "</tr>\n";
}

std::string Empty(std::string_view text) { return "<p class=\"empty\">" + EscapedMarkup(text) + "</p>\n"; }

std::string ChartBlock(const Chart& chart) { return "<div class=\"chart\">\n" + SvgChart(chart) + "</div>\n"; }

// The rows of figures with a column for each set given (an absent set shows dashes).
std::string ErrorTable(const std::vector<std::string>& headings, const std::vector<const std::optional<ErrorFigures>*>& sets) {
    std::string out = "<table>\n" + HeadingRow(headings);
    for (const ErrorFigureRow& line : kErrorFigureRows) {
        std::vector<std::string> cells;
        for (const std::optional<ErrorFigures>* set : sets) cells.push_back(*set ? Cell(line.value(**set), kShownMetreDecimals) : kNoValue);
        out += Row(line.name, cells);
    }
    return out + "</table>\n";
}

std::string FixesPart(const AccuracyFigures& figures) {
    std::string out = "<h2>Fixes</h2>\n";
    if (figures.counts.Total() == 0) return out + Empty("No fixes.");
    out += "<table>\n" + HeadingRow({"kind", "fixes"});
    for (const FixKind kind : kFixKinds) out += Row(FixKindName(kind), {std::to_string(figures.counts.Of(kind))});
    return out + Row("total", {std::to_string(figures.counts.Total())}) + "</table>\n";
}

std::string ReferencePart(const std::optional<ReferencePoint>& reference) {
    std::string out = "<h2>Reference point</h2>\n";
    if (!reference) return out + Empty("None: the figures are about the fixes' own mean (precision only).");
    out += "<table>\n";
    out += Row("latitude (°)", {FixedText(reference->position.latitude, 9)});
    out += Row("longitude (°)", {FixedText(reference->position.longitude, 9)});
    out += Row("height above the ellipsoid (m)", {FixedText(reference->position.height, 3)});
    out += Row("source", {std::string(ReferenceSourceName(reference->source))});
    out += "</table>\n";
    if (const std::optional<SurveySummary>& survey = reference->survey) {
        out += "<p>Surveyed in from " + std::to_string(survey->fixes) + " fixes over " + FixedText(survey->seconds, 1) +
               " s; their spread about the point:</p>\n";
        const std::optional<ErrorFigures> spread = survey->spread;
        out += ErrorTable({"figure", "survey spread"}, {&spread});
    }
    return out;
}

std::string AccuracyPart(const AccuracyTracker& accuracy) {
    const AccuracyFigures& figures = accuracy.Figures();
    std::string out = "<h2>Accuracy and precision</h2>\n";
    if (figures.counts.Total() == 0) return out + Empty("No fixes.");
    out += ErrorTable({"figure", "about the reference (accuracy)", "about the mean (precision)"}, {&figures.accuracy, &figures.precision});
    if (const std::optional<ReceiverEstimateFigures>& estimate = figures.receiverEstimate) {
        out += "<p>The receiver's own 1-sigma estimate (root mean square over " + std::to_string(estimate->fixes) +
               " fixes) beside the measured spread:</p>\n<table>\n" + HeadingRow({"axis", "receiver's estimate (m)", "measured sd (m)"});
        out += Row("east", {Cell(estimate->sigmaEast, 3), Cell(figures.precision->sdEast, 3)});
        out += Row("north", {Cell(estimate->sigmaNorth, 3), Cell(figures.precision->sdNorth, 3)});
        out += Row("up", {Cell(estimate->sigmaUp, 3), Cell(figures.precision->sdUp, 3)});
        out += "</table>\n";
    }
    for (const std::optional<Chart>& chart : {HorizontalScatterChart(accuracy), ErrorCdfChart(accuracy), ErrorOverTimeChart(accuracy)}) {
        if (chart) out += ChartBlock(*chart);
    }
    return out;
}

std::string TtffPart(const TtffTracker& ttff) {
    std::string out = "<h2>Time to first fix</h2>\n";
    const std::optional<Chart> perRun = TtffPerRunChart(ttff);
    if (!perRun) return out + Empty("No runs.");
    std::vector<std::string> headings{"reset", "runs", "failures"};
    for (const TtffFigureColumn& column : kTtffTimeColumns) headings.emplace_back(column.name);
    out += "<table>\n" + HeadingRow(headings);
    for (const ResetKind kind : kResetKinds) {
        const TtffFigures& f = ttff.Figures(kind);
        if (f.runs == 0) continue;
        std::vector<std::string> cells{std::to_string(f.runs), std::to_string(f.failures)};
        for (const TtffFigureColumn& column : kTtffTimeColumns) cells.push_back(Cell(column.value(f), kShownSecondDecimals));
        out += Row(ResetKindName(kind), cells);
    }
    out += "</table>\n" + ChartBlock(*perRun);
    for (const Chart& histogram : TtffHistogramCharts(ttff)) out += ChartBlock(histogram);
    return out;
}

}  // namespace

std::string ReportHtml(const ReportContents& contents) {
    const std::string title = contents.title.empty() ? "Receiver evaluation" : "Receiver evaluation: " + contents.title;
    std::string out = "<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"en\">\n<head>\n<meta charset=\"utf-8\"/>\n";
    out += "<title>" + EscapedMarkup(title) + "</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n";
    out += "<h1>" + EscapedMarkup(title) + "</h1>\n";
    out += FixesPart(contents.accuracy.Figures());
    out += ReferencePart(contents.accuracy.Reference());
    out += AccuracyPart(contents.accuracy);
    out += TtffPart(contents.ttff);
    out += "<p class=\"definitions\">Errors in a local east-north-up frame at the reference (WGS-84). Percentiles by nearest "
           "rank: the smallest error with at least that share of fixes within it. DRMS is the root mean square of the "
           "horizontal error; sd of errors is over n, sd of times to first fix over n &#8722; 1. Times to first fix are "
           "counted from the reset command to the first fix with a position; runs stopped by the user are left out.</p>\n";
    out += "</body>\n</html>\n";
    return out;
}

}  // namespace vexa
