#include "history/pixel_columns.h"

#include <algorithm>
#include <span>
#include <utility>

namespace vexa {

namespace {

AxisMs FloorTo(AxisMs axis, AxisMs step) { return (axis >= 0 ? axis / step : (axis - step + 1) / step) * step; }

struct Placed {
    std::size_t pixel;
    const HistoryColumn* column;
};

PixelStretch StretchOf(std::span<const Placed> group) {
    PixelStretch stretch;
    stretch.first = group.front().column->first;
    stretch.last = group.back().column->last;
    stretch.firstTime = group.front().column->firstTime;
    stretch.columns = static_cast<std::uint32_t>(group.size());
    for (const Placed& placed : group) stretch.epochs += placed.column->epochs;
    return stretch;
}

}  // namespace

void ReadColumnsPerPixel(PixelColumns& view, const HistoryStore& store, AxisMs from, AxisMs to, int pixels) {
    PixelColumns before = std::move(view);
    const auto count = static_cast<std::size_t>(std::max(pixels, 1));
    view = PixelColumns{};
    view.perPixel = std::max<AxisMs>((to - from) / static_cast<AxisMs>(count), 1);
    view.from = FloorTo(from, view.perPixel);
    view.pixels.resize(count);
    view.stretches.resize(count);
    view.unchangedFrom.assign(count, -1);

    std::vector<Placed> placed;
    store.VisitColumns(view.from, to, view.perPixel, [&](const HistoryColumn& column) {
        const AxisMs pixel = (column.first - view.from) / view.perPixel;
        if (pixel >= 0 && pixel < static_cast<AxisMs>(count)) placed.push_back({static_cast<std::size_t>(pixel), &column});
    });

    // The pixels of the view before, where they lie on the same grid.
    const bool sameGrid = before.perPixel == view.perPixel && !before.pixels.empty();
    const AxisMs shift = sameGrid ? (view.from - before.from) / view.perPixel : 0;
    // The columns come in order of the axis; the last of them (the open epoch, the summary still
    // filling) may change without changing its stretch, so its pixel is always merged again.
    for (std::size_t start = 0; start < placed.size();) {
        std::size_t end = start;
        while (end < placed.size() && placed[end].pixel == placed[start].pixel) ++end;
        const std::span<const Placed> group(placed.data() + start, end - start);
        const std::size_t pixel = group.front().pixel;
        view.stretches[pixel] = StretchOf(group);
        const AxisMs old = static_cast<AxisMs>(pixel) + shift;
        const bool kept = sameGrid && end < placed.size() && old >= 0 && old < static_cast<AxisMs>(before.pixels.size()) &&
                          before.stretches[static_cast<std::size_t>(old)] == view.stretches[pixel];
        if (kept) {
            view.pixels[pixel] = std::move(before.pixels[static_cast<std::size_t>(old)]);
            view.unchangedFrom[pixel] = static_cast<int>(old);
        } else {
            for (const Placed& each : group) view.pixels[pixel].Merge(*each.column);
        }
        start = end;
    }
    // A pixel merged again may hold what it held (the open epoch unchanged), and an empty one stays empty.
    if (!sameGrid) return;
    for (std::size_t pixel = 0; pixel < count; ++pixel) {
        const AxisMs old = static_cast<AxisMs>(pixel) + shift;
        if (view.unchangedFrom[pixel] >= 0 || old < 0 || old >= static_cast<AxisMs>(before.pixels.size())) continue;
        if (before.pixels[static_cast<std::size_t>(old)] == view.pixels[pixel]) view.unchangedFrom[pixel] = static_cast<int>(old);
    }
}

PixelColumns ColumnsPerPixel(const HistoryStore& store, AxisMs from, AxisMs to, int pixels) {
    PixelColumns view;
    ReadColumnsPerPixel(view, store, from, to, pixels);
    return view;
}

}  // namespace vexa
