#include "evaluation/report/svg_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "evaluation/fixed_text.h"
#include "evaluation/report/markup_text.h"

namespace vexa {

namespace {

constexpr double kWidth = 720.0;
constexpr double kPlotHeight = 300.0;
constexpr double kLeft = 64.0;
constexpr double kTop = 40.0;
constexpr double kRightPlain = 20.0;
constexpr double kLegendWidth = 190.0;
constexpr double kBelowPlot = 52.0;
constexpr double kNoteHeight = 20.0;
constexpr double kDotRadius = 2.0;
constexpr double kCrossHalf = 4.0;

std::string Colour(ChartColour colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.red, colour.green, colour.blue);
    return text;
}

std::string Px(double value) { return FixedText(value, 1); }

// Where chart units land on the page.
struct PlotArea {
    double left, top, width, height;
    double xMin, xPerUnit, yMin, yPerUnit;

    double X(double x) const { return left + (x - xMin) * xPerUnit; }
    double Y(double y) const { return top + height - (y - yMin) * yPerUnit; }
};

PlotArea AreaFor(const Chart& chart, double availableWidth) {
    const double xSpan = chart.x.max - chart.x.min;
    const double ySpan = chart.y.max - chart.y.min;
    PlotArea area{kLeft, kTop, availableWidth, kPlotHeight, chart.x.min, availableWidth / xSpan, chart.y.min, kPlotHeight / ySpan};
    if (chart.equalScale) {
        const double perUnit = std::min(area.xPerUnit, area.yPerUnit);
        area.xPerUnit = area.yPerUnit = perUnit;
        area.width = xSpan * perUnit;
        area.height = ySpan * perUnit;
    }
    return area;
}

bool Finite(ChartPoint point) { return std::isfinite(point.x) && std::isfinite(point.y); }

void AppendText(std::string& out, double x, double y, std::string_view text, const char* anchor, const char* extra = "") {
    out += "<text x=\"" + Px(x) + "\" y=\"" + Px(y) + "\" text-anchor=\"" + anchor + "\"" + extra + ">" +
           EscapedMarkup(text) + "</text>\n";
}

void AppendGrid(std::string& out, const Chart& chart, const PlotArea& area) {
    out += "<g stroke=\"#dddddd\" stroke-width=\"1\">\n";
    for (const ChartTick& tick : chart.x.ticks) {
        const std::string x = Px(area.X(tick.at));
        out += "<line x1=\"" + x + "\" y1=\"" + Px(area.top) + "\" x2=\"" + x + "\" y2=\"" + Px(area.top + area.height) + "\"/>\n";
    }
    for (const ChartTick& tick : chart.y.ticks) {
        const std::string y = Px(area.Y(tick.at));
        out += "<line x1=\"" + Px(area.left) + "\" y1=\"" + y + "\" x2=\"" + Px(area.left + area.width) + "\" y2=\"" + y + "\"/>\n";
    }
    out += "</g>\n<g fill=\"#333333\">\n";
    for (const ChartTick& tick : chart.x.ticks) AppendText(out, area.X(tick.at), area.top + area.height + 16.0, tick.label, "middle");
    for (const ChartTick& tick : chart.y.ticks) AppendText(out, area.left - 6.0, area.Y(tick.at) + 4.0, tick.label, "end");
    AppendText(out, area.left + area.width / 2.0, area.top + area.height + 36.0, chart.x.title, "middle");
    const std::string yTitleAt = " transform=\"rotate(-90 16 " + Px(area.top + area.height / 2.0) + ")\"";
    AppendText(out, 16.0, area.top + area.height / 2.0, chart.y.title, "middle", yTitleAt.c_str());
    out += "</g>\n";
}

void AppendPoints(std::string& out, const std::vector<ChartPoint>& points, const PlotArea& area) {
    for (const ChartPoint& point : points) {
        if (Finite(point)) out += Px(area.X(point.x)) + "," + Px(area.Y(point.y)) + " ";
    }
}

void AppendSeries(std::string& out, const ChartSeries& series, const PlotArea& area) {
    const std::string colour = Colour(series.colour);
    switch (series.mark) {
    case SeriesMark::Dot:
        out += "<g fill=\"" + colour + "\">\n";
        for (const ChartPoint& point : series.points) {
            if (!Finite(point)) continue;
            out += "<circle cx=\"" + Px(area.X(point.x)) + "\" cy=\"" + Px(area.Y(point.y)) + "\" r=\"" + Px(kDotRadius) + "\"/>\n";
        }
        out += "</g>\n";
        break;
    case SeriesMark::Cross: {
        out += "<path fill=\"none\" stroke=\"" + colour + "\" stroke-width=\"1.5\" d=\"";
        const std::string side = Px(2.0 * kCrossHalf);
        for (const ChartPoint& point : series.points) {
            if (!Finite(point)) continue;
            out += "M" + Px(area.X(point.x) - kCrossHalf) + " " + Px(area.Y(point.y) - kCrossHalf) + "l" + side + " " + side +
                   "m0 -" + side + "l-" + side + " " + side;
        }
        out += "\"/>\n";
        break;
    }
    case SeriesMark::Line:
    case SeriesMark::Steps: {
        std::vector<ChartPoint> points;
        for (const ChartPoint& point : series.points) {
            if (series.mark == SeriesMark::Steps && !points.empty()) points.push_back({point.x, points.back().y});
            points.push_back(point);
        }
        out += "<polyline fill=\"none\" stroke=\"" + colour + "\" stroke-width=\"1.5\" points=\"";
        AppendPoints(out, points, area);
        out += "\"/>\n";
        break;
    }
    }
}

void AppendData(std::string& out, const Chart& chart, const PlotArea& area) {
    // A nested viewport clips the data to the plot area without an id, so that several charts can share a page.
    out += "<svg x=\"" + Px(area.left) + "\" y=\"" + Px(area.top) + "\" width=\"" + Px(area.width) + "\" height=\"" +
           Px(area.height) + "\" viewBox=\"" + Px(area.left) + " " + Px(area.top) + " " + Px(area.width) + " " +
           Px(area.height) + "\" overflow=\"hidden\">\n";
    for (const ChartBar& bar : chart.bars) {
        const double left = area.X(bar.from);
        const double top = area.Y(bar.height);
        out += "<rect x=\"" + Px(left) + "\" y=\"" + Px(top) + "\" width=\"" + Px(area.X(bar.to) - left) + "\" height=\"" +
               Px(area.Y(0.0) - top) + "\" fill=\"" + Colour(bar.colour) + "\" stroke=\"#ffffff\"/>\n";
    }
    for (const ChartSeries& series : chart.series) AppendSeries(out, series, area);
    for (const ChartCircle& circle : chart.circles) {
        out += "<ellipse cx=\"" + Px(area.X(circle.centre.x)) + "\" cy=\"" + Px(area.Y(circle.centre.y)) + "\" rx=\"" +
               Px(circle.radius * area.xPerUnit) + "\" ry=\"" + Px(circle.radius * area.yPerUnit) +
               "\" fill=\"none\" stroke=\"" + Colour(circle.colour) + "\" stroke-width=\"2\"/>\n";
    }
    out += "</svg>\n";
}

void AppendLegend(std::string& out, const Chart& chart, double left) {
    double y = kTop + 10.0;
    const auto entry = [&](const std::string& name, ChartColour colour, SeriesMark mark) {
        const std::string swatch = Colour(colour);
        if (mark == SeriesMark::Dot) {
            out += "<circle cx=\"" + Px(left + 9.0) + "\" cy=\"" + Px(y - 4.0) + "\" r=\"3\" fill=\"" + swatch + "\"/>\n";
        } else if (mark == SeriesMark::Cross) {
            out += "<path fill=\"none\" stroke=\"" + swatch + "\" stroke-width=\"1.5\" d=\"M" + Px(left + 5.0) + " " + Px(y - 8.0) +
                   "l8 8m0 -8l-8 8\"/>\n";
        } else {
            out += "<line x1=\"" + Px(left) + "\" y1=\"" + Px(y - 4.0) + "\" x2=\"" + Px(left + 18.0) + "\" y2=\"" + Px(y - 4.0) +
                   "\" stroke=\"" + swatch + "\" stroke-width=\"2\"/>\n";
        }
        AppendText(out, left + 24.0, y, name, "start");
        y += 18.0;
    };
    for (const ChartSeries& series : chart.series) {
        if (!series.name.empty()) entry(series.name, series.colour, series.mark);
    }
    for (const ChartCircle& circle : chart.circles) {
        if (!circle.name.empty()) entry(circle.name, circle.colour, SeriesMark::Line);
    }
}

bool HasLegend(const Chart& chart) {
    return std::any_of(chart.series.begin(), chart.series.end(), [](const ChartSeries& s) { return !s.name.empty(); }) ||
           std::any_of(chart.circles.begin(), chart.circles.end(), [](const ChartCircle& c) { return !c.name.empty(); });
}

}  // namespace

std::string SvgChart(const Chart& chart) {
    const double right = HasLegend(chart) ? kLegendWidth : kRightPlain;
    const PlotArea area = AreaFor(chart, kWidth - kLeft - right);
    const double height = area.top + area.height + kBelowPlot + (chart.note.empty() ? 0.0 : kNoteHeight);
    std::string out = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Px(kWidth) + "\" height=\"" + Px(height) +
                      "\" viewBox=\"0 0 " + Px(kWidth) + " " + Px(height) +
                      "\" font-family=\"sans-serif\" font-size=\"12\">\n";
    out += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    out += "<g font-size=\"14\" font-weight=\"bold\" fill=\"#222222\">\n";
    AppendText(out, kWidth / 2.0, 22.0, chart.title, "middle");
    out += "</g>\n";
    AppendGrid(out, chart, area);
    AppendData(out, chart, area);
    out += "<rect x=\"" + Px(area.left) + "\" y=\"" + Px(area.top) + "\" width=\"" + Px(area.width) + "\" height=\"" +
           Px(area.height) + "\" fill=\"none\" stroke=\"#444444\"/>\n";
    if (HasLegend(chart)) {
        out += "<g fill=\"#222222\">\n";
        AppendLegend(out, chart, kWidth - kLegendWidth + 16.0);
        out += "</g>\n";
    }
    if (!chart.note.empty()) {
        out += "<g fill=\"#666666\" font-style=\"italic\">\n";
        AppendText(out, kLeft, height - 8.0, chart.note, "start");
        out += "</g>\n";
    }
    out += "</svg>\n";
    return out;
}

}  // namespace vexa
