#pragma once

#include <cstdint>
#include <optional>

namespace vexa {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Colours given as one number 0x00BBGGRR (65280 is green), as map clients pass them.
inline Rgb RgbFromColorRef(std::uint32_t colorRef) {
    return {static_cast<std::uint8_t>(colorRef & 0xFF), static_cast<std::uint8_t>((colorRef >> 8) & 0xFF),
            static_cast<std::uint8_t>((colorRef >> 16) & 0xFF)};
}

// How one layer draws its lines, polygons (filled, outlined in the line colour) and points.
struct LayerStyle {
    Rgb lineColor;
    Rgb fillColor;
    Rgb pointColor;
    int lineWidth = 1;
};

// Style values a geoset may set for one of its layers; what is missing keeps the default.
struct StyleOverrides {
    std::optional<Rgb> lineColor;
    std::optional<Rgb> fillColor;
    std::optional<Rgb> pointColor;
    std::optional<int> lineWidth;
};

// The default style of the layer at a position of the geoset (0-based): kinds differ from each
// other, and neighbouring layers differ from each other.
LayerStyle DefaultLayerStyle(std::size_t layerIndex);
LayerStyle ApplyOverrides(LayerStyle style, const StyleOverrides& overrides);

// A style for single regions such as a position marker: fill and border colour.
struct RegionStyle {
    Rgb fillColor{0, 255, 0};
    Rgb borderColor{0, 0, 0};

    void SetRegionColor(std::uint32_t colorRef) { fillColor = RgbFromColorRef(colorRef); }
    void SetRegionBorderColor(std::uint32_t colorRef) { borderColor = RgbFromColorRef(colorRef); }
};

}  // namespace vexa
