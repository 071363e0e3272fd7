#pragma once

#include <QPainter>
#include <QRect>

namespace vexa {

// An ellipse filling exactly the pixels of the box left..right-1, top..bottom-1, outline included:
// the pages give boxes with exclusive right and bottom edges, and Qt's one-pixel pen covers one
// pixel more than the rectangle it is given.
inline void DrawBoxEllipse(QPainter& painter, int left, int top, int right, int bottom) {
    painter.drawEllipse(QRect(QPoint(left, top), QPoint(right, bottom)).normalized().adjusted(0, 0, -2, -2));
}

}  // namespace vexa
