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

// The sources of a read within the pixel from `first` to `last` of the axis.
struct SourcesWithin {
    std::array<HistoryStore::ColumnSource, HistoryStore::kLevels> sources{};
    std::size_t count = 0;

    SourcesWithin(const std::vector<HistoryStore::ColumnSource>& all, AxisMs first, AxisMs last) {
        for (const HistoryStore::ColumnSource& source : all) {
            const HistoryStore::ColumnSource clipped{source.level, std::max(source.from, first), std::min(source.to, last)};
            if (clipped.from <= clipped.to && count < sources.size()) sources[count++] = clipped;
        }
    }
    bool operator==(const SourcesWithin&) const = default;
};

// Whether the pixel from `first` to `last` of the axis holds what it held at the read `before`:
// its columns come from the same stretches of the same levels, and each of them was complete then.
bool Settled(const PixelColumns& before, const PixelColumns& now, AxisMs first, AxisMs last) {
    // The open epoch is read apart from the sources where the summaries are.
    if (last >= before.changingFrom[0]) return false;
    const SourcesWithin within(now.sources, first, last);
    if (!(within == SourcesWithin(before.sources, first, last))) return false;
    return std::all_of(within.sources.begin(), within.sources.begin() + static_cast<std::ptrdiff_t>(within.count),
                       [&before](const HistoryStore::ColumnSource& source) { return source.to < before.changingFrom[source.level]; });
}

}  // namespace

void ReadColumnsPerPixel(PixelColumns& view, const HistoryStore& store, AxisMs from, AxisMs to, int pixels) {
    PixelColumns before = std::move(view);
    const auto count = static_cast<std::size_t>(std::max(pixels, 1));
    view = PixelColumns{};
    view.perPixel = std::max<AxisMs>((to - from) / static_cast<AxisMs>(count), 1);
    view.from = FloorTo(from, view.perPixel);
    view.pixels.reserve(count);
    view.stretches.resize(count);
    view.unchangedFrom.assign(count, -1);
    view.sources = store.SourcesOf(view.from, to, view.perPixel);
    for (std::size_t level = 0; level < HistoryStore::kLevels; ++level) view.changingFrom[level] = store.ChangingFrom(level);
    view.clears = store.Clears();

    // The pixels of the view before, where they lie on the same grid.
    const bool sameGrid = before.perPixel == view.perPixel && !before.pixels.empty() && before.clears == view.clears;
    const AxisMs shift = sameGrid ? (view.from - before.from) / view.perPixel : 0;
    auto oldOf = [&](std::size_t pixel) -> std::optional<std::size_t> {
        const AxisMs old = static_cast<AxisMs>(pixel) + shift;
        if (!sameGrid || old < 0 || old >= static_cast<AxisMs>(before.pixels.size())) return std::nullopt;
        return static_cast<std::size_t>(old);
    };
    auto firstOf = [&view](std::size_t pixel) { return view.from + static_cast<AxisMs>(pixel) * view.perPixel; };

    // The pixels that cannot have changed are moved over unread; the store is read for the others.
    std::vector<bool> settled(count, false);
    for (std::size_t pixel = 0; pixel < count; ++pixel) {
        const std::optional<std::size_t> old = oldOf(pixel);
        if (!old || !Settled(before, view, firstOf(pixel), firstOf(pixel + 1) - 1)) {
            view.pixels.emplace_back();
            continue;
        }
        settled[pixel] = true;
        view.pixels.push_back(std::move(before.pixels[*old]));
        view.stretches[pixel] = before.stretches[*old];
        view.unchangedFrom[pixel] = static_cast<int>(*old);
    }
    std::vector<Placed> placed;
    for (std::size_t start = 0; start < count;) {
        std::size_t end = start;
        while (end < count && !settled[end]) ++end;
        if (end > start) {
            store.VisitColumns(firstOf(start), std::min(firstOf(end) - 1, to), view.perPixel, [&](const HistoryColumn& column) {
                const auto pixel = static_cast<std::size_t>((column.first - view.from) / view.perPixel);
                if (pixel >= start && pixel < end) placed.push_back({pixel, &column});
            });
        }
        start = end + 1;
    }

    // The columns come in order of the axis; the last of them (the open epoch, the summary still
    // filling) may change without changing its stretch, so its pixel is always merged again.
    for (std::size_t start = 0; start < placed.size();) {
        std::size_t end = start;
        while (end < placed.size() && placed[end].pixel == placed[start].pixel) ++end;
        const std::span<const Placed> group(placed.data() + start, end - start);
        const std::size_t pixel = group.front().pixel;
        view.stretches[pixel] = StretchOf(group);
        const std::optional<std::size_t> old = oldOf(pixel);
        if (old && end < placed.size() && before.stretches[*old] == view.stretches[pixel]) {
            view.pixels[pixel] = std::move(before.pixels[*old]);
            view.unchangedFrom[pixel] = static_cast<int>(*old);
        } else {
            for (const Placed& each : group) view.pixels[pixel].Merge(*each.column);
        }
        start = end;
    }
    // A pixel merged again may hold what it held (the open epoch unchanged), and an empty one stays empty.
    for (std::size_t pixel = 0; pixel < count; ++pixel) {
        const std::optional<std::size_t> old = oldOf(pixel);
        if (view.unchangedFrom[pixel] < 0 && old && before.pixels[*old] == view.pixels[pixel]) view.unchangedFrom[pixel] = static_cast<int>(*old);
    }
}

PixelColumns ColumnsPerPixel(const HistoryStore& store, AxisMs from, AxisMs to, int pixels) {
    PixelColumns view;
    ReadColumnsPerPixel(view, store, from, to, pixels);
    return view;
}

}  // namespace vexa
