#pragma once

#include <QPoint>
#include <QRect>

#include "views/fitted_text.h"

namespace vexa {

// A rectangle given by its left, top, right and bottom edges, right and bottom outside it.
inline QRect RectLtrb(int left, int top, int right, int bottom) {
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

// An initially empty static text with a sunken edge, named by its control id; a text too large
// for it is drawn smaller.
inline FittedLabel* MakeStaticText(QWidget* parent, int id, const QRect& rect, Qt::Alignment alignment) {
    auto* label = new FittedLabel(parent);
    label->setObjectName(QString::number(id));
    label->setGeometry(rect);
    label->setAlignment(alignment | Qt::AlignTop);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return label;
}

}  // namespace vexa
