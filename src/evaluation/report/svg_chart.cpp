#include "evaluation/report/svg_chart.h"

#include <cstdio>

#include "evaluation/chart_layout.h"
#include "evaluation/fixed_text.h"
#include "evaluation/report/markup_text.h"

namespace vexa {

namespace {

constexpr double kWidth = 720.0;
constexpr double kPlotHeight = 300.0;

std::string Colour(ChartColour colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.red, colour.green, colour.blue);
    return text;
}

std::string Px(double value) { return FixedText(value, 1); }

void AppendText(std::string& out, double x, double y, std::string_view text, const char* anchor, const char* extra = "") {
    out += "<text x=\"" + Px(x) + "\" y=\"" + Px(y) + "\" text-anchor=\"" + anchor + "\"" + extra + ">" +
           EscapedMarkup(text) + "</text>\n";
}

void AppendGrid(std::string& out, const Chart& chart, const ChartLayout& layout) {
    const ChartPlotArea& area = layout.plot;
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
    for (const ChartTick& tick : chart.x.ticks) AppendText(out, area.X(tick.at), layout.xTickLabelBaseline, tick.label, "middle");
    for (const ChartTick& tick : chart.y.ticks) {
        AppendText(out, layout.yTickLabelRight, area.Y(tick.at) + ChartLayout::kTickLabelDrop, tick.label, "end");
    }
    AppendText(out, layout.xTitle.x, layout.xTitle.y, chart.x.title, "middle");
    const std::string yTitleAt = " transform=\"rotate(-90 " + Px(layout.yTitle.x) + " " + Px(layout.yTitle.y) + ")\"";
    AppendText(out, layout.yTitle.x, layout.yTitle.y, chart.y.title, "middle", yTitleAt.c_str());
    out += "</g>\n";
}

void AppendSeries(std::string& out, const ChartSeries& series, const ChartPlotArea& area) {
    const std::string colour = Colour(series.colour);
    switch (series.mark) {
    case SeriesMark::Dot:
        out += "<g fill=\"" + colour + "\">\n";
        for (const ChartPoint& point : series.points) {
            if (!IsFinite(point)) continue;
            out += "<circle cx=\"" + Px(area.X(point.x)) + "\" cy=\"" + Px(area.Y(point.y)) + "\" r=\"" +
                   Px(ChartLayout::kDotRadius) + "\"/>\n";
        }
        out += "</g>\n";
        break;
    case SeriesMark::Cross: {
        out += "<path fill=\"none\" stroke=\"" + colour + "\" stroke-width=\"1.5\" d=\"";
        constexpr double kHalf = ChartLayout::kCrossHalf;
        const std::string side = Px(2.0 * kHalf);
        for (const ChartPoint& point : series.points) {
            if (!IsFinite(point)) continue;
            out += "M" + Px(area.X(point.x) - kHalf) + " " + Px(area.Y(point.y) - kHalf) + "l" + side + " " + side +
                   "m0 -" + side + "l-" + side + " " + side;
        }
        out += "\"/>\n";
        break;
    }
    case SeriesMark::Line:
    case SeriesMark::Steps: {
        out += "<polyline fill=\"none\" stroke=\"" + colour + "\" stroke-width=\"1.5\" points=\"";
        for (const ChartPoint& point : JoinedPoints(series)) out += Px(area.X(point.x)) + "," + Px(area.Y(point.y)) + " ";
        out += "\"/>\n";
        break;
    }
    }
}

void AppendData(std::string& out, const Chart& chart, const ChartPlotArea& area) {
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

void AppendLegend(std::string& out, const Chart& chart, const ChartLayout& layout) {
    const double left = layout.legendLeft;
    double y = layout.legendFirstBaseline;
    for (const ChartLegendEntry& entry : ChartLegend(chart)) {
        const std::string swatch = Colour(entry.colour);
        if (entry.mark == SeriesMark::Dot) {
            out += "<circle cx=\"" + Px(left + 9.0) + "\" cy=\"" + Px(y - 4.0) + "\" r=\"3\" fill=\"" + swatch + "\"/>\n";
        } else if (entry.mark == SeriesMark::Cross) {
            out += "<path fill=\"none\" stroke=\"" + swatch + "\" stroke-width=\"1.5\" d=\"M" + Px(left + 5.0) + " " + Px(y - 8.0) +
                   "l8 8m0 -8l-8 8\"/>\n";
        } else {
            out += "<line x1=\"" + Px(left) + "\" y1=\"" + Px(y - 4.0) + "\" x2=\"" + Px(left + 18.0) + "\" y2=\"" + Px(y - 4.0) +
                   "\" stroke=\"" + swatch + "\" stroke-width=\"2\"/>\n";
        }
        AppendText(out, left + 24.0, y, entry.name, "start");
        y += layout.legendLineSpacing;
    }
}

}  // namespace

std::string SvgChart(const Chart& chart) {
    const ChartLayout layout = LayOutChart(chart, kWidth, kPlotHeight);
    const ChartPlotArea& area = layout.plot;
    std::string out = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Px(layout.width) + "\" height=\"" + Px(layout.height) +
                      "\" viewBox=\"0 0 " + Px(layout.width) + " " + Px(layout.height) +
                      "\" font-family=\"sans-serif\" font-size=\"" + Px(ChartLayout::kFontPixels) + "\">\n";
    out += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    out += "<g font-size=\"" + Px(ChartLayout::kTitleFontPixels) + "\" font-weight=\"bold\" fill=\"#222222\">\n";
    AppendText(out, layout.title.x, layout.title.y, chart.title, "middle");
    out += "</g>\n";
    AppendGrid(out, chart, layout);
    AppendData(out, chart, area);
    out += "<rect x=\"" + Px(area.left) + "\" y=\"" + Px(area.top) + "\" width=\"" + Px(area.width) + "\" height=\"" +
           Px(area.height) + "\" fill=\"none\" stroke=\"#444444\"/>\n";
    if (layout.hasLegend) {
        out += "<g fill=\"#222222\">\n";
        AppendLegend(out, chart, layout);
        out += "</g>\n";
    }
    if (!chart.note.empty()) {
        out += "<g fill=\"#666666\" font-style=\"italic\">\n";
        AppendText(out, layout.note.x, layout.note.y, chart.note, "start");
        out += "</g>\n";
    }
    out += "</svg>\n";
    return out;
}

}  // namespace vexa
