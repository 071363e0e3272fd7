#pragma once

#include <string>
#include <vector>

#include "evaluation/chart.h"

namespace vexa {

// Where the parts of a chart land on a page, in pixels from its top left corner: the title, the
// plot area with its grid and tick labels, the axis titles, the legend at the right and the note
// below. The report's SVG and the window's painter both place a chart by it, so the two look alike.

// Where chart units land in the plot area (y grows downwards on the page).
struct ChartPlotArea {
    double left = 0.0;
    double top = 0.0;
    double width = 0.0;
    double height = 0.0;
    double xMin = 0.0;
    double xPerUnit = 1.0;
    double yMin = 0.0;
    double yPerUnit = 1.0;

    double X(double x) const { return left + (x - xMin) * xPerUnit; }
    double Y(double y) const { return top + height - (y - yMin) * yPerUnit; }
};

struct ChartTextAt {
    double x = 0.0;
    double y = 0.0;  // the text's baseline
};

struct ChartLayout {
    double width = 0.0;
    double height = 0.0;
    ChartPlotArea plot;
    ChartTextAt title;          // centred
    double xTickLabelBaseline;  // x tick labels centred on their tick
    double yTickLabelRight;     // y tick labels end here, their baseline a little below their tick
    ChartTextAt xTitle;         // centred
    ChartTextAt yTitle;         // centred, turned a quarter anticlockwise about this point
    bool hasLegend = false;
    double legendLeft = 0.0;
    double legendFirstBaseline = 0.0;
    double legendLineSpacing = 0.0;
    ChartTextAt note;  // starts here

    static constexpr double kTitleFontPixels = 14.0;
    static constexpr double kFontPixels = 12.0;
    static constexpr double kTickLabelDrop = 4.0;  // a y tick label's baseline below its tick
    static constexpr double kDotRadius = 2.0;
    static constexpr double kCrossHalf = 4.0;
};

// The layout of `chart` on a page `width` pixels wide whose plot area is at most `plotHeight`
// pixels high (an equal-scale chart's may be smaller); the page is as high as that needs.
ChartLayout LayOutChart(const Chart& chart, double width, double plotHeight);

// The plot height that makes the chart's page `height` pixels high (never below a tenth of it).
double PlotHeightFor(const Chart& chart, double height);

// The entries of the legend in their order: the named series, then the named circles (drawn as lines).
struct ChartLegendEntry {
    std::string name;
    ChartColour colour;
    SeriesMark mark = SeriesMark::Line;
};
std::vector<ChartLegendEntry> ChartLegend(const Chart& chart);

// The points a Line or Steps series is drawn through, in order: Steps go across, then up; points
// that are not finite are left out.
std::vector<ChartPoint> JoinedPoints(const ChartSeries& series);

bool IsFinite(ChartPoint point);

}  // namespace vexa
