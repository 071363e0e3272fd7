#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <optional>
#include <vector>

namespace vexa {

// A satellite label to place: the centre of its marker, the marker's half width, the label's size.
struct LabelToPlace {
    QPointF marker;
    double markerHalfWidth = 0;
    QSizeF size;
};

// Gives each label, in order, the first spot that overlaps no label placed before it and stays
// inside `bounds`: on its marker, then beside, above, below and at the corners of it. A label
// with no such spot is left out (nullopt): a label is never drawn on top of another.
std::vector<std::optional<QRectF>> PlaceLabels(const std::vector<LabelToPlace>& labels, const QRectF& bounds);

}  // namespace vexa
