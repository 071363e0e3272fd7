#include "views/graphic/map_painter.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace vexa {

namespace {

// Far outside the window coordinates are held here, where the raster engine still clips exactly.
constexpr double kPixelLimit = 1 << 22;
constexpr int kPointSize = 5;
constexpr int kRegionBorderWidth = 2;

QColor ToColor(const Rgb& rgb) { return {rgb.r, rgb.g, rgb.b}; }

int ClampedPixel(double value) { return static_cast<int>(std::lround(std::clamp(value, -kPixelLimit, kPixelLimit))); }

}  // namespace

void MapPainter::Paint(QPainter& painter, const MapViewport& viewport, const LayerCollection& layers) {
    painter.fillRect(0, 0, viewport.WidthPixels(), viewport.HeightPixels(), kMapBackground);
    layers.ForEachBottomUp([&](const VectorLayer& layer) {
        if (layer.Visible()) PaintLayer(painter, viewport, layer);
    });
}

void MapPainter::ToPixels(const MapViewport& viewport, const GeoPoint* begin, const GeoPoint* end) {
    pixels_.clear();
    for (const GeoPoint* point = begin; point != end; ++point) {
        const QPoint pixel(ClampedPixel(viewport.PixelX(point->x)), ClampedPixel(viewport.PixelY(point->y)));
        if (pixels_.empty() || pixels_.back() != pixel) pixels_.push_back(pixel);
    }
}

void MapPainter::PaintLayer(QPainter& painter, const MapViewport& viewport, const VectorLayer& layer) {
    const LayerStyle& style = layer.Style();
    const QPen linePen(ToColor(style.lineColor), style.lineWidth);
    const QBrush fill(ToColor(style.fillColor));
    const QColor pointColor = ToColor(style.pointColor);

    layer.ForEachFeatureIn(viewport.Bounds(), [&](const VectorFeature& feature) {
        const GeoPoint* points = feature.points.data();
        switch (feature.kind) {
        case GeometryKind::kLine: {
            painter.setPen(linePen);
            std::uint32_t start = 0;
            for (const std::uint32_t end : feature.partEnds) {
                ToPixels(viewport, points + start, points + end);
                if (pixels_.size() > 1) {
                    painter.drawPolyline(pixels_.data(), static_cast<int>(pixels_.size()));
                } else {
                    painter.drawPoint(pixels_.front());
                }
                start = end;
            }
            break;
        }
        case GeometryKind::kPolygon: {
            if (feature.regionStyle) {
                painter.setPen(QPen(ToColor(feature.regionStyle->borderColor), kRegionBorderWidth));
                painter.setBrush(ToColor(feature.regionStyle->fillColor));
            } else {
                painter.setPen(linePen);
                painter.setBrush(fill);
            }
            if (feature.partEnds.size() == 1) {
                ToPixels(viewport, points, points + feature.points.size());
                painter.drawPolygon(pixels_.data(), static_cast<int>(pixels_.size()), Qt::OddEvenFill);
            } else {
                // Holes and several outlines: the even-odd rule over all rings cuts the holes.
                QPainterPath path;
                path.setFillRule(Qt::OddEvenFill);
                std::uint32_t start = 0;
                for (const std::uint32_t end : feature.partEnds) {
                    ToPixels(viewport, points + start, points + end);
                    QPolygonF ring;
                    ring.reserve(static_cast<qsizetype>(pixels_.size()));
                    for (const QPoint& pixel : pixels_) ring.append(pixel);
                    path.addPolygon(ring);
                    path.closeSubpath();
                    start = end;
                }
                painter.drawPath(path);
            }
            painter.setBrush(Qt::NoBrush);
            break;
        }
        case GeometryKind::kPoint:
            for (const GeoPoint& point : feature.points) {
                painter.fillRect(ClampedPixel(viewport.PixelX(point.x)) - kPointSize / 2,
                                 ClampedPixel(viewport.PixelY(point.y)) - kPointSize / 2, kPointSize, kPointSize,
                                 pointColor);
            }
            break;
        }
    });
}

}  // namespace vexa
