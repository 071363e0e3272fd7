#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A chart described in its own units, built once from the figures and drawn by any painter (the
// report's SVG, the window's QPainter) the same way: axes with their ranges and labelled ticks,
// series of points, circles, bars. Names of series and circles make the legend.

namespace vexa {

struct ChartColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

struct ChartPoint {
    double x = 0.0;
    double y = 0.0;
};

struct ChartTick {
    double at = 0.0;
    std::string label;
};

struct ChartAxis {
    std::string title;  // with its unit: "east (m)"
    double min = 0.0;
    double max = 1.0;
    std::vector<ChartTick> ticks;  // within [min, max]: grid lines with their labels
};

// Dots and crosses mark each point; a line joins them; steps join them as a cumulative
// distribution does (across, then up).
enum class SeriesMark : std::uint8_t { Dot, Cross, Line, Steps };

struct ChartSeries {
    std::string name;  // empty: no legend entry
    SeriesMark mark = SeriesMark::Dot;
    ChartColour colour;
    std::vector<ChartPoint> points;
};

struct ChartCircle {
    ChartPoint centre;
    double radius = 0.0;
    std::string name;
    ChartColour colour;
};

// A bar standing on y = 0 from x = `from` to x = `to`.
struct ChartBar {
    double from = 0.0;
    double to = 0.0;
    double height = 0.0;
    ChartColour colour;
};

struct Chart {
    std::string title;
    std::string note;  // a line under the chart: what is left out, how to read it
    ChartAxis x;
    ChartAxis y;
    bool equalScale = false;  // a unit across is as long as a unit up: the plot area is square
    std::vector<ChartSeries> series;
    std::vector<ChartCircle> circles;
    std::vector<ChartBar> bars;
};

}  // namespace vexa
