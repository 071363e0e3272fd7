#include "views/graphic/sky_labels.h"

#include <algorithm>

namespace vexa {

namespace {

// The label's centre offsets from its marker's, in marker half widths and label sizes: on the
// marker, right, left, above, below, then the four corners.
struct Spot {
    double markerX, markerY;  // in marker half widths
    double labelX, labelY;    // in label widths and heights
};
constexpr Spot kSpots[] = {
    {0, 0, 0, 0},       {1, 0, 0.5, 0},    {-1, 0, -0.5, 0},   {0, -1, 0, -0.5},  {0, 1, 0, 0.5},
    {1, -1, 0.5, -0.5}, {-1, -1, -0.5, -0.5}, {1, 1, 0.5, 0.5}, {-1, 1, -0.5, 0.5},
};

}  // namespace

std::vector<std::optional<QRectF>> PlaceLabels(const std::vector<LabelToPlace>& labels, const QRectF& bounds) {
    std::vector<std::optional<QRectF>> placed;
    placed.reserve(labels.size());
    std::vector<QRectF> taken;
    for (const LabelToPlace& label : labels) {
        std::optional<QRectF> chosen;
        for (const Spot& spot : kSpots) {
            const QPointF centre = label.marker +
                                   QPointF(spot.markerX * label.markerHalfWidth + spot.labelX * label.size.width(),
                                           spot.markerY * label.markerHalfWidth + spot.labelY * label.size.height());
            QRectF box(QPointF(), label.size);
            box.moveCenter(centre);
            if (!bounds.contains(box)) continue;
            if (std::any_of(taken.begin(), taken.end(), [&](const QRectF& other) { return other.intersects(box); }))
                continue;
            chosen = box;
            break;
        }
        if (chosen) taken.push_back(*chosen);
        placed.push_back(chosen);
    }
    return placed;
}

}  // namespace vexa
