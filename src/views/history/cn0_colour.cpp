#include "views/history/cn0_colour.h"

#include <algorithm>
#include <array>

namespace vexa {

QRgb Cn0Rgb(double cn0) {
    static constexpr std::array<QRgb, 5> kStops = {0x1f2a80, 0x1e88c8, 0x2fb35a, 0xf2d22e, 0xd7301f};
    const double at = std::clamp((cn0 - kWeakestCn0) / (kStrongestCn0 - kWeakestCn0), 0.0, 1.0) * (kStops.size() - 1);
    const auto stop = std::min(static_cast<std::size_t>(at), kStops.size() - 2);
    const double part = at - static_cast<double>(stop);
    const QRgb low = kStops[stop];
    const QRgb high = kStops[stop + 1];
    auto mix = [part](int a, int b) { return static_cast<int>(a + (b - a) * part + 0.5); };
    return qRgb(mix(qRed(low), qRed(high)), mix(qGreen(low), qGreen(high)), mix(qBlue(low), qBlue(high)));
}

QColor Cn0Colour(double cn0) { return QColor(Cn0Rgb(cn0)); }

}  // namespace vexa
