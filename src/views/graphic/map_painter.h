#pragma once

#include <QColor>
#include <QPoint>
#include <vector>

#include "maps/layer_collection.h"
#include "maps/map_viewport.h"

class QPainter;

namespace vexa {

inline const QColor kMapBackground(246, 244, 238);

// Draws the layers of a map as the viewport shows them, bottom layer first: only features whose
// bounding boxes meet the view are drawn.
class MapPainter {
public:
    void Paint(QPainter& painter, const MapViewport& viewport, const LayerCollection& layers);

private:
    void PaintLayer(QPainter& painter, const MapViewport& viewport, const VectorLayer& layer);
    // Pixels of one part into pixels_, without repeats of the same pixel.
    void ToPixels(const MapViewport& viewport, const GeoPoint* begin, const GeoPoint* end);

    std::vector<QPoint> pixels_;  // kept between parts and paints to spare allocations
};

}  // namespace vexa
