#include "views/history/cn0_colour.h"

#include <algorithm>
#include <array>

namespace vexa {

QColor Cn0Colour(double cn0) {
    static constexpr std::array<QRgb, 5> kStops = {0x1f2a80, 0x1e88c8, 0x2fb35a, 0xf2d22e, 0xd7301f};
    const double at = std::clamp((cn0 - kWeakestCn0) / (kStrongestCn0 - kWeakestCn0), 0.0, 1.0) * (kStops.size() - 1);
    const auto stop = std::min(static_cast<std::size_t>(at), kStops.size() - 2);
    const double part = at - static_cast<double>(stop);
    const QColor low(kStops[stop]);
    const QColor high(kStops[stop + 1]);
    auto mix = [part](int a, int b) { return static_cast<int>(a + (b - a) * part + 0.5); };
    return QColor(mix(low.red(), high.red()), mix(low.green(), high.green()), mix(low.blue(), high.blue()));
}

}  // namespace vexa
