#include "views/history/strip_lines.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

namespace vexa {

namespace {

constexpr int kDashOn = 4;  // pixels drawn, then kDashOff left out
constexpr int kDashOff = 2;

int RowAt(const StripLine& line, std::int64_t x) {
    return x >= 0 && x < static_cast<std::int64_t>(line.rows.size()) ? line.rows[static_cast<std::size_t>(x)] : StripLine::kNoRow;
}

bool EpochsAt(const std::vector<bool>& epochs, std::int64_t x) {
    return x >= 0 && x < static_cast<std::int64_t>(epochs.size()) && epochs[static_cast<std::size_t>(x)];
}

bool SameKinds(const std::vector<StripLine>& a, const std::vector<StripLine>& b) {
    return std::ranges::equal(a, b, [](const StripLine& x, const StripLine& y) { return x.colour == y.colour && x.dashed == y.dashed; });
}

}  // namespace

void StripLines::Update(QSize size, const StripGrid& grid, std::vector<StripLine> lines, std::vector<bool> epochs) {
    const int width = size.width();
    const bool movable = !image_.isNull() && image_.size() == size && grid.perPixel == grid_.perPixel && SameKinds(lines, lines_);
    const std::int64_t shift = grid.first - grid_.first;
    if (image_.size() != size) image_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
    std::vector<bool> changed(static_cast<std::size_t>(std::max(width, 0)), true);
    std::vector<bool> either(changed.size(), false);  // epochs in the pixel now or before
    if (movable) {
        for (int x = 0; x < width; ++x) {
            const std::int64_t old = x + shift;
            const bool now = EpochsAt(epochs, x);
            const bool was = old >= 0 && old < width && EpochsAt(epochs_, old);
            either[static_cast<std::size_t>(x)] = now || was;
            bool same = old >= 0 && old < width && now == was;
            for (std::size_t i = 0; same && i < lines.size(); ++i) same = RowAt(lines[i], x) == RowAt(lines_[i], old);
            changed[static_cast<std::size_t>(x)] = !same;
        }
        if (shift != 0 && std::abs(shift) < width) {
            const auto kept = static_cast<std::size_t>(width - std::abs(shift));
            const auto moved = static_cast<int>(shift);
            for (int y = 0; y < size.height(); ++y) {
                auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
                std::memmove(line + std::max(-moved, 0), line + std::max(moved, 0), kept * sizeof(QRgb));
            }
        }
    }
    grid_ = grid;
    lines_ = std::move(lines);
    epochs_ = std::move(epochs);
    if (!movable) return DrawColumns(0, width);

    // A changed pixel changes the columns from just after the pixel with epochs before it to the
    // next pixel with epochs after it. Left of the first pixel with epochs the columns showed
    // lines from pixels that left the view; right of the last they may have too.
    std::vector<bool> stale(changed.size(), false);
    auto mark = [&stale](int from, int to) { std::fill(stale.begin() + from, stale.begin() + to + 1, true); };
    int lastEither = -1;
    std::optional<int> openFrom;
    for (int x = 0; x < width; ++x) {
        const auto at = static_cast<std::size_t>(x);
        if (changed[at] && !openFrom) openFrom = lastEither + 1;
        if (!changed[at] && either[at] && openFrom) {
            mark(*openFrom, x);
            openFrom.reset();
        }
        if (either[at]) lastEither = x;
    }
    if (width > 0) {
        if (openFrom) mark(*openFrom, width - 1);
        const auto firstEither = std::ranges::find(either, true) - either.begin();
        mark(0, static_cast<int>(std::min<std::ptrdiff_t>(firstEither, width - 1)));
        if (lastEither + 1 < width) mark(lastEither + 1, width - 1);
    }
    for (int x = 0; x < width;) {
        if (!stale[static_cast<std::size_t>(x)]) {
            ++x;
            continue;
        }
        int end = x;
        while (end < width && stale[static_cast<std::size_t>(end)]) ++end;
        DrawColumns(x, end);
        x = end;
    }
}

// The columns `from` to `to` (exclusive) cleared and every line's part in them drawn: a column
// covers the rows the line passes through between its left edge and its pixel.
void StripLines::DrawColumns(int from, int to) {
    for (int y = 0; y < image_.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
        std::fill(line + from, line + to, QRgb{0});
    }
    for (const StripLine& line : lines_) {
        // From the last pixel before the columns that the line passes through or breaks at, to the
        // first such pixel at or after their end.
        std::int64_t last = from - 1;
        while (last >= 0 && RowAt(line, last) == StripLine::kNoRow && !EpochsAt(epochs_, last)) --last;
        int lastRow = RowAt(line, last);
        for (std::int64_t x = last + 1; x < image_.width(); ++x) {
            const int row = RowAt(line, x);
            if (row == StripLine::kNoRow && !EpochsAt(epochs_, x)) continue;
            if (row != StripLine::kNoRow && lastRow == StripLine::kNoRow && x >= from && x < to) DrawSpan(line, static_cast<int>(x), row, row);
            if (row != StripLine::kNoRow && lastRow != StripLine::kNoRow) {
                const double step = static_cast<double>(row - lastRow) / static_cast<double>(x - last);
                for (std::int64_t column = std::max<std::int64_t>(last + 1, from); column <= std::min<std::int64_t>(x, to - 1); ++column) {
                    const double left = lastRow + step * static_cast<double>(column - 1 - last);
                    const double right = lastRow + step * static_cast<double>(column - last);
                    DrawSpan(line, static_cast<int>(column), static_cast<int>(std::lround(std::min(left, right))),
                             static_cast<int>(std::lround(std::max(left, right))));
                }
            }
            if (x >= to - 1) break;
            last = x;
            lastRow = row;
        }
    }
}

void StripLines::DrawSpan(const StripLine& line, int x, int top, int bottom) {
    const std::int64_t dash = ((grid_.first + x) % (kDashOn + kDashOff) + kDashOn + kDashOff) % (kDashOn + kDashOff);
    if (line.dashed && dash >= kDashOn) return;
    for (int y = std::max(top, 0); y <= std::min(bottom + 1, image_.height() - 1); ++y) reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = line.colour;
}

}  // namespace vexa
