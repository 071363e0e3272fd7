#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

namespace vexa {

// One line of a strip: its image row at each pixel column, kNoRow where the pixel has no value.
struct StripLine {
    static constexpr int kNoRow = -1;
    QRgb colour = 0;
    bool dashed = false;
    std::vector<int> rows;
};

// Where a strip's pixels lie on the axis: `perPixel` milliseconds each, the first of them `first`
// pixels from the axis' origin.
struct StripGrid {
    std::int64_t perPixel = 0;
    std::int64_t first = 0;
};

// A line strip's lines in an image of their own on a transparent ground, two pixels thick. A line
// joins a pixel's value to that of the next pixel with epochs and is broken where that pixel has
// none, so a column shows only what its own values and those of the nearest pixels with epochs on
// either side give. While the view moves along the axis, the columns whose values and neighbours
// are unchanged are moved with it and only the others are drawn again; a dashed line's dashes lie
// on the axis' pixels, so they move along too.
class StripLines {
public:
    // The image of `lines` over pixels of which `epochs` tells those holding any epoch.
    void Update(QSize size, const StripGrid& grid, std::vector<StripLine> lines, std::vector<bool> epochs);
    const QImage& Image() const { return image_; }

private:
    void DrawColumns(int from, int to);
    void DrawSpan(const StripLine& line, int x, int top, int bottom);

    QImage image_;
    StripGrid grid_;
    std::vector<StripLine> lines_;
    std::vector<bool> epochs_;
};

}  // namespace vexa
