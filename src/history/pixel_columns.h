#pragma once

#include <vector>

#include "history/history_store.h"

namespace vexa {

// A stretch of the axis as a window draws it: one merged column per pixel, from the coarsest
// summaries that still give each pixel its own values. A pixel no epoch falls in has no epochs.
struct PixelColumns {
    AxisMs from = 0;
    AxisMs perPixel = 1;
    std::vector<HistoryColumn> pixels;

    AxisMs AxisAt(double x) const { return from + static_cast<AxisMs>(x * static_cast<double>(perPixel)); }
    double XOf(AxisMs axis) const { return static_cast<double>(axis - from) / static_cast<double>(perPixel); }
};

PixelColumns ColumnsPerPixel(const HistoryStore& store, AxisMs from, AxisMs to, int pixels);

}  // namespace vexa
