#pragma once

#include <QColor>
#include <QPainter>
#include <QRect>
#include <cmath>
#include <optional>

namespace vexa {

// An ellipse filling exactly the pixels of the box left..right-1, top..bottom-1, outline included:
// the pages give boxes with exclusive right and bottom edges, and Qt's one-pixel pen covers one
// pixel more than the rectangle it is given.
inline void DrawBoxEllipse(QPainter& painter, int left, int top, int right, int bottom) {
    painter.drawEllipse(QRect(QPoint(left, top), QPoint(right, bottom)).normalized().adjusted(0, 0, -2, -2));
}

// The same ellipse drawn `zoom` device pixels per unit by a painter scaled that much: its outline
// a unit wide, and inside it `inside` (none leaves the inside as it was). Drawn as filled ellipses
// in device pixels, which the raster engine fills span by span instead of stroking a curve.
inline void DrawZoomedBoxEllipse(QPainter& painter, double zoom, int left, int top, int right, int bottom,
                                 const QColor& outline, const std::optional<QColor>& inside) {
    auto device = [zoom](int l, int t, int r, int b) {
        const auto x = std::lround(l * zoom), y = std::lround(t * zoom);
        return QRect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(std::lround(r * zoom) - x),
                     static_cast<int>(std::lround(b * zoom) - y));
    };
    painter.save();
    painter.resetTransform();
    painter.setPen(Qt::NoPen);
    painter.setBrush(outline);
    painter.drawEllipse(device(left, top, right, bottom));
    if (inside) {
        painter.setBrush(*inside);
        painter.drawEllipse(device(left + 1, top + 1, right - 1, bottom - 1));
    }
    painter.restore();
}

}  // namespace vexa
