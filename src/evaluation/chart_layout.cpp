#include "evaluation/chart_layout.h"

#include <algorithm>
#include <cmath>

namespace vexa {

namespace {

constexpr double kLeft = 64.0;
constexpr double kTop = 40.0;
constexpr double kTitleBaseline = 22.0;
constexpr double kRightPlain = 20.0;
constexpr double kLegendWidth = 190.0;
constexpr double kLegendIndent = 16.0;
constexpr double kLegendSpacing = 18.0;
constexpr double kBelowPlot = 52.0;
constexpr double kTickLabelsBelowPlot = 16.0;
constexpr double kXTitleBelowPlot = 36.0;
constexpr double kYTitleX = 16.0;
constexpr double kTickLabelGap = 6.0;
constexpr double kNoteHeight = 20.0;
constexpr double kNoteAboveBottom = 8.0;

double NoteHeight(const Chart& chart) { return chart.note.empty() ? 0.0 : kNoteHeight; }

}  // namespace

bool IsFinite(ChartPoint point) { return std::isfinite(point.x) && std::isfinite(point.y); }

std::vector<ChartLegendEntry> ChartLegend(const Chart& chart) {
    std::vector<ChartLegendEntry> entries;
    for (const ChartSeries& series : chart.series) {
        if (!series.name.empty()) entries.push_back({series.name, series.colour, series.mark});
    }
    for (const ChartCircle& circle : chart.circles) {
        if (!circle.name.empty()) entries.push_back({circle.name, circle.colour, SeriesMark::Line});
    }
    return entries;
}

ChartLayout LayOutChart(const Chart& chart, double width, double plotHeight) {
    ChartLayout layout;
    layout.hasLegend = !ChartLegend(chart).empty();
    const double plotWidth = std::max(1.0, width - kLeft - (layout.hasLegend ? kLegendWidth : kRightPlain));
    plotHeight = std::max(1.0, plotHeight);
    const double xSpan = chart.x.max - chart.x.min;
    const double ySpan = chart.y.max - chart.y.min;
    ChartPlotArea& area = layout.plot;
    area = {kLeft, kTop, plotWidth, plotHeight, chart.x.min, plotWidth / xSpan, chart.y.min, plotHeight / ySpan};
    if (chart.equalScale) {
        const double perUnit = std::min(area.xPerUnit, area.yPerUnit);
        area.xPerUnit = area.yPerUnit = perUnit;
        area.width = xSpan * perUnit;
        area.height = ySpan * perUnit;
    }
    const double plotBottom = area.top + area.height;
    layout.width = width;
    layout.height = plotBottom + kBelowPlot + NoteHeight(chart);
    layout.title = {width / 2.0, kTitleBaseline};
    layout.xTickLabelBaseline = plotBottom + kTickLabelsBelowPlot;
    layout.yTickLabelRight = area.left - kTickLabelGap;
    layout.xTitle = {area.left + area.width / 2.0, plotBottom + kXTitleBelowPlot};
    layout.yTitle = {kYTitleX, area.top + area.height / 2.0};
    layout.legendLeft = width - kLegendWidth + kLegendIndent;
    layout.legendFirstBaseline = kTop + 10.0;
    layout.legendLineSpacing = kLegendSpacing;
    layout.note = {kLeft, layout.height - kNoteAboveBottom};
    return layout;
}

double PlotHeightFor(const Chart& chart, double height) {
    return std::max(height / 10.0, height - kTop - kBelowPlot - NoteHeight(chart));
}

std::vector<ChartPoint> JoinedPoints(const ChartSeries& series) {
    std::vector<ChartPoint> points;
    for (const ChartPoint& point : series.points) {
        if (series.mark == SeriesMark::Steps && !points.empty()) points.push_back({point.x, points.back().y});
        points.push_back(point);
    }
    std::erase_if(points, [](ChartPoint point) { return !IsFinite(point); });
    return points;
}

}  // namespace vexa
