#pragma once

#include <array>
#include <optional>
#include <vector>

#include "history/history_store.h"

namespace vexa {

// What a pixel's column was merged from: enough to tell, on the next read, whether the same
// summaries still fall in it (the store only appends, so a pixel whose stretch is unchanged holds
// the same values).
struct PixelStretch {
    AxisMs first = 0;
    AxisMs last = 0;
    std::uint64_t epochs = 0;
    std::uint32_t columns = 0;
    std::optional<UtcTime> firstTime;

    bool operator==(const PixelStretch&) const = default;
};

// A stretch of the axis as a window draws it: one merged column per pixel, from the coarsest
// summaries that still give each pixel its own values. A pixel no epoch falls in has no epochs.
// The pixels lie on a grid of `perPixel` from the axis' origin, so that a view moved by whole
// pixels keeps the columns it already merged.
struct PixelColumns {
    AxisMs from = 0;
    AxisMs perPixel = 1;
    std::vector<HistoryColumn> pixels;
    std::vector<PixelStretch> stretches;  // by pixel
    // By pixel: the pixel of the view read before that held the same values, or -1 where they
    // changed, so that what was drawn from that read can be moved instead of drawn again.
    std::vector<int> unchangedFrom;
    // What the store was like at the read, to tell at the next which pixels cannot have changed.
    std::vector<HistoryStore::ColumnSource> sources;
    std::array<AxisMs, HistoryStore::kLevels> changingFrom{};
    std::uint64_t clears = 0;

    AxisMs AxisAt(double x) const { return from + static_cast<AxisMs>(x * static_cast<double>(perPixel)); }
    double XOf(AxisMs axis) const { return static_cast<double>(axis - from) / static_cast<double>(perPixel); }
};

// Reads `pixels` columns from `from` to `to` into `view`, reading from the store only the pixels
// that can have changed since `view` was read and merging again only those whose summaries
// changed: a window following the newest epoch reads and merges its newest pixels, not the whole
// five minutes or day.
void ReadColumnsPerPixel(PixelColumns& view, const HistoryStore& store, AxisMs from, AxisMs to, int pixels);

PixelColumns ColumnsPerPixel(const HistoryStore& store, AxisMs from, AxisMs to, int pixels);

}  // namespace vexa
