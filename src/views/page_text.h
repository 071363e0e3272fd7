#pragma once

#include <QFont>
#include <QPainter>
#include <QPoint>
#include <QString>

namespace vexa {

// Draws a text with its top-left corner at `topLeft`, as the receiver pages place their labels.
inline void DrawTextAt(QPainter& painter, QPoint topLeft, const QString& text) {
    painter.drawText(topLeft + QPoint(0, painter.fontMetrics().ascent()), text);
}

// A page label: black on an opaque ground (white unless told), in the given font.
inline void DrawPageLabel(QPainter& painter, const QFont& font, QPoint topLeft, const QString& text,
                          const QColor& ground = Qt::white) {
    painter.save();
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.setBackground(ground);
    painter.setBackgroundMode(Qt::OpaqueMode);
    DrawTextAt(painter, topLeft, text);
    painter.restore();
}

}  // namespace vexa
