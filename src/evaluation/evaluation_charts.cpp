#include "evaluation/evaluation_charts.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "evaluation/chart_axis.h"
#include "evaluation/fixed_text.h"

namespace vexa {

namespace {

constexpr std::size_t kMostScatterPoints = 5000;
constexpr std::size_t kMostCdfSteps = 500;
constexpr std::size_t kMostTimeBuckets = 1000;

constexpr ChartColour kHorizontalColour{31, 119, 180};
constexpr ChartColour kVerticalColour{255, 127, 14};
constexpr ChartColour kCep50Colour{44, 160, 44};
constexpr ChartColour kCep95Colour{214, 39, 40};
constexpr ChartColour kCentreColour{0, 0, 0};
constexpr ChartColour kFailureColour{127, 127, 127};

ChartColour ResetKindColour(ResetKind kind) {
    switch (kind) {
    case ResetKind::Hot: return {214, 39, 40};
    case ResetKind::Warm: return {255, 127, 14};
    case ResetKind::Cold: return {31, 119, 180};
    case ResetKind::Factory: return {148, 103, 189};
    }
    return kHorizontalColour;
}

std::string Metres(double value) { return FixedText(value, 3) + " m"; }

// The errors the charts show: about the reference, else about the mean.
EnuOffset ShownError(const AccuracyTracker& accuracy, std::size_t index) {
    if (std::optional<EnuOffset> error = accuracy.ErrorAt(index)) return *error;
    return accuracy.DeviationAt(index);
}

const ErrorFigures& ShownFigures(const AccuracyTracker& accuracy) {
    const AccuracyFigures& figures = accuracy.Figures();
    return figures.accuracy ? *figures.accuracy : *figures.precision;
}

std::string AboutWhat(const AccuracyTracker& accuracy) {
    return accuracy.Reference() ? "about the reference" : "about the mean (no reference)";
}

std::string Ordinal(std::size_t n) {
    const std::size_t lastTwo = n % 100;
    const char* suffix = lastTwo >= 11 && lastTwo <= 13 ? "th" : n % 10 == 1 ? "st" : n % 10 == 2 ? "nd" : n % 10 == 3 ? "rd" : "th";
    return std::to_string(n) + suffix;
}

ChartSeries VerticalGuide(std::string name, double x, double low, double high, ChartColour colour) {
    return {std::move(name), SeriesMark::Line, colour, {{x, low}, {x, high}}};
}

}  // namespace

std::optional<Chart> HorizontalScatterChart(const AccuracyTracker& accuracy) {
    const std::size_t count = accuracy.Fixes().size();
    if (count == 0) return std::nullopt;
    const ErrorFigures& figures = ShownFigures(accuracy);
    Chart chart;
    chart.title = "Horizontal error " + AboutWhat(accuracy);
    chart.equalScale = true;
    const std::size_t stride = (count + kMostScatterPoints - 1) / kMostScatterPoints;
    if (stride > 1) chart.note = "Every " + Ordinal(stride) + " of " + std::to_string(count) + " fixes shown.";
    ChartSeries fixes{"fix", SeriesMark::Dot, kHorizontalColour, {}};
    double reach = figures.cep95;
    for (std::size_t i = 0; i < count; i += stride) {
        const EnuOffset error = ShownError(accuracy, i);
        fixes.points.push_back({error.east, error.north});
        reach = std::max({reach, std::abs(error.east), std::abs(error.north)});
    }
    chart.x = RoundAxis("east (m)", -reach, reach);
    chart.y = RoundAxis("north (m)", -reach, reach);
    chart.series.push_back(std::move(fixes));
    chart.series.push_back({accuracy.Reference() ? "reference" : "mean", SeriesMark::Cross, kCentreColour, {{0.0, 0.0}}});
    chart.circles.push_back({{0.0, 0.0}, figures.cep50, "CEP50 " + Metres(figures.cep50), kCep50Colour});
    chart.circles.push_back({{0.0, 0.0}, figures.cep95, "CEP95 " + Metres(figures.cep95), kCep95Colour});
    return chart;
}

std::optional<Chart> ErrorCdfChart(const AccuracyTracker& accuracy) {
    const std::size_t count = accuracy.Fixes().size();
    if (count == 0) return std::nullopt;
    std::vector<double> errors;
    errors.reserve(count);
    for (std::size_t i = 0; i < count; ++i) errors.push_back(ShownError(accuracy, i).Horizontal());
    std::sort(errors.begin(), errors.end());

    Chart chart;
    chart.title = "Share of fixes within a horizontal error " + AboutWhat(accuracy);
    ChartSeries steps{"", SeriesMark::Steps, kHorizontalColour, {{0.0, 0.0}}};
    // Evenly spaced ranks, the last always among them, keep the curve's shape in a few hundred steps.
    const std::size_t shown = std::min(count, kMostCdfSteps);
    for (std::size_t step = 1; step <= shown; ++step) {
        const std::size_t rank = (step * count + shown - 1) / shown;
        steps.points.push_back({errors[rank - 1], 100.0 * static_cast<double>(rank) / static_cast<double>(count)});
    }
    if (shown < count) chart.note = "The curve is drawn through " + std::to_string(shown) + " of " + std::to_string(count) + " fixes.";
    chart.x = RoundAxis("horizontal error (m)", 0.0, errors.back());
    chart.y = RoundAxis("fixes within (%)", 0.0, 100.0, 5);
    chart.series.push_back(std::move(steps));
    const ErrorFigures& figures = ShownFigures(accuracy);
    chart.series.push_back(VerticalGuide("CEP50 " + Metres(figures.cep50), figures.cep50, 0.0, 100.0, kCep50Colour));
    chart.series.push_back(VerticalGuide("CEP95 " + Metres(figures.cep95), figures.cep95, 0.0, 100.0, kCep95Colour));
    return chart;
}

std::optional<Chart> ErrorOverTimeChart(const AccuracyTracker& accuracy) {
    const std::span<const FixSample> fixes = accuracy.Fixes();
    if (fixes.empty()) return std::nullopt;
    const bool timed = std::all_of(fixes.begin(), fixes.end(), [](const FixSample& fix) { return fix.time.has_value(); });
    const auto xOf = [&](std::size_t i) {
        return timed ? std::chrono::duration<double>(*fixes[i].time - *fixes.front().time).count() : static_cast<double>(i + 1);
    };

    Chart chart;
    chart.title = "Error over the test " + AboutWhat(accuracy);
    ChartSeries horizontal{"horizontal", SeriesMark::Line, kHorizontalColour, {}};
    ChartSeries vertical{"up", SeriesMark::Line, kVerticalColour, {}};
    // Each bucket of fixes gives its lowest and highest value, so no peak is thinned away.
    const std::size_t bucket = (fixes.size() + kMostTimeBuckets - 1) / kMostTimeBuckets;
    if (bucket > 1) chart.note = "Each stretch of " + std::to_string(bucket) + " fixes is drawn as its lowest and highest error.";
    const auto addBucket = [](ChartSeries& series, std::vector<ChartPoint>& points) {
        if (points.empty()) return;
        const auto [low, high] = std::minmax_element(points.begin(), points.end(), [](ChartPoint a, ChartPoint b) { return a.y < b.y; });
        const ChartPoint first = low->x <= high->x ? *low : *high;
        const ChartPoint second = low->x <= high->x ? *high : *low;
        series.points.push_back(first);
        if (points.size() > 1) series.points.push_back(second);
        points.clear();
    };
    std::vector<ChartPoint> horizontalBucket;
    std::vector<ChartPoint> verticalBucket;
    double lowest = 0.0;
    double highest = 0.0;
    for (std::size_t i = 0; i < fixes.size(); ++i) {
        const EnuOffset error = ShownError(accuracy, i);
        const double x = xOf(i);
        horizontalBucket.push_back({x, error.Horizontal()});
        highest = std::max(highest, error.Horizontal());
        if (error.up) {
            verticalBucket.push_back({x, *error.up});
            lowest = std::min(lowest, *error.up);
            highest = std::max(highest, *error.up);
        }
        if ((i + 1) % bucket == 0 || i + 1 == fixes.size()) {
            addBucket(horizontal, horizontalBucket);
            addBucket(vertical, verticalBucket);
        }
    }
    chart.x = RoundAxis(timed ? "time from the first fix (s)" : "fix number", xOf(0), xOf(fixes.size() - 1));
    chart.y = RoundAxis("error (m)", lowest, highest);
    // The horizontal error is drawn last, over the vertical one.
    if (!vertical.points.empty()) chart.series.push_back(std::move(vertical));
    chart.series.push_back(std::move(horizontal));
    return chart;
}

std::optional<Chart> TtffPerRunChart(const TtffTracker& ttff) {
    const std::span<const TtffRun> runs = ttff.Runs();
    double longest = 0.0;
    bool anyCounted = false;
    for (const TtffRun& run : runs) {
        if (run.Succeeded()) longest = std::max(longest, *run.ttffAny);
        anyCounted = anyCounted || run.outcome != RunOutcome::Stopped;
    }
    if (!anyCounted) return std::nullopt;

    Chart chart;
    chart.title = "Time to first fix of each run";
    chart.x = RoundAxis("run", 0.0, static_cast<double>(runs.size() + 1), 8, 1.0);
    chart.y = RoundAxis("time to first fix (s)", 0.0, std::max(longest, 1.0));
    for (const ResetKind kind : kResetKinds) {
        ChartSeries series{std::string(ResetKindName(kind)), SeriesMark::Dot, ResetKindColour(kind), {}};
        for (std::size_t i = 0; i < runs.size(); ++i) {
            if (runs[i].kind == kind && runs[i].Succeeded()) series.points.push_back({static_cast<double>(i + 1), *runs[i].ttffAny});
        }
        if (!series.points.empty()) chart.series.push_back(std::move(series));
    }
    ChartSeries failures{"no fix", SeriesMark::Cross, kFailureColour, {}};
    // In a band of half a step above the last tick, clear of every time.
    const double band = (chart.y.ticks[1].at - chart.y.ticks[0].at) / 2.0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (runs[i].Failed()) failures.points.push_back({static_cast<double>(i + 1), chart.y.max + band / 2.0});
    }
    if (!failures.points.empty()) {
        chart.y.max += band;
        chart.note = "Runs without a fix are drawn above the times.";
        chart.series.push_back(std::move(failures));
    }
    return chart;
}

std::vector<Chart> TtffHistogramCharts(const TtffTracker& ttff) {
    std::vector<Chart> charts;
    for (const ResetKind kind : kResetKinds) {
        std::vector<double> times;
        for (const TtffRun& run : ttff.Runs()) {
            if (run.kind == kind && run.Succeeded()) times.push_back(*run.ttffAny);
        }
        if (times.empty()) continue;
        Chart chart;
        chart.title = "Time to first fix, " + std::string(ResetKindName(kind)) + " starts (" + std::to_string(times.size()) +
                      " with a fix)";
        chart.x = RoundAxis("time to first fix (s)", 0.0, *std::max_element(times.begin(), times.end()), 12);
        const double width = chart.x.ticks.size() > 1 ? chart.x.ticks[1].at - chart.x.ticks[0].at : chart.x.max - chart.x.min;
        std::vector<double> counts(chart.x.ticks.size(), 0.0);
        for (const double time : times) {
            // A time on a bin's edge belongs to the bin above it, the largest one to the last bin.
            const double lastBin = static_cast<double>(counts.size() - 2);
            counts[static_cast<std::size_t>(std::clamp(std::floor((time - chart.x.min) / width), 0.0, lastBin))] += 1.0;
        }
        for (std::size_t i = 0; i + 1 < counts.size(); ++i) {
            if (counts[i] > 0.0) chart.bars.push_back({chart.x.ticks[i].at, chart.x.ticks[i + 1].at, counts[i], ResetKindColour(kind)});
        }
        chart.y = RoundAxis("runs", 0.0, *std::max_element(counts.begin(), counts.end()), 5, 1.0);
        charts.push_back(std::move(chart));
    }
    return charts;
}

}  // namespace vexa
