#include "maps/layer_style.h"

#include <array>

namespace vexa {

namespace {

constexpr std::array<Rgb, 3> kLineColors{{{96, 96, 96}, {176, 112, 48}, {48, 96, 176}}};
constexpr std::array<Rgb, 3> kFillColors{{{222, 214, 190}, {186, 222, 170}, {176, 206, 232}}};
constexpr std::array<Rgb, 3> kPointColors{{{200, 32, 32}, {32, 128, 32}, {32, 32, 200}}};

}  // namespace

LayerStyle DefaultLayerStyle(std::size_t layerIndex) {
    const std::size_t i = layerIndex % kLineColors.size();
    return {kLineColors[i], kFillColors[i], kPointColors[i], 1};
}

LayerStyle ApplyOverrides(LayerStyle style, const StyleOverrides& overrides) {
    if (overrides.lineColor) style.lineColor = *overrides.lineColor;
    if (overrides.fillColor) style.fillColor = *overrides.fillColor;
    if (overrides.pointColor) style.pointColor = *overrides.pointColor;
    if (overrides.lineWidth) style.lineWidth = *overrides.lineWidth;
    return style;
}

}  // namespace vexa
