#pragma once

#include <string>

#include "evaluation/chart.h"

namespace vexa {

// The chart as one standalone SVG element (720 pixels wide), for inlining in a page or saving as
// a file: title, grid with tick labels, axis titles, the data clipped to the plot area, a legend of
// the named series and circles at the right, the note below.
std::string SvgChart(const Chart& chart);

}  // namespace vexa
