#include "history/pixel_columns.h"

#include <algorithm>

namespace vexa {

PixelColumns ColumnsPerPixel(const HistoryStore& store, AxisMs from, AxisMs to, int pixels) {
    PixelColumns view;
    view.from = from;
    const int count = std::max(pixels, 1);
    view.perPixel = std::max<AxisMs>((to - from) / count, 1);
    view.pixels.resize(static_cast<std::size_t>(count));
    store.VisitColumns(from, to, view.perPixel, [&view, count](const HistoryColumn& column) {
        const AxisMs pixel = (column.first - view.from) / view.perPixel;
        if (pixel >= 0 && pixel < count) view.pixels[static_cast<std::size_t>(pixel)].Merge(column);
    });
    return view;
}

}  // namespace vexa
