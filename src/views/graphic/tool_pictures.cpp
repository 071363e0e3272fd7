#include "views/graphic/tool_pictures.h"

#include <QPainter>
#include <QPolygon>

namespace vexa {

namespace {

const QColor kFace(192, 192, 192);
const QColor kLight(255, 255, 255);
const QColor kShadow(128, 128, 128);
const QColor kInk(0, 0, 0);
const QColor kLens(20, 210, 210);
const QColor kFocus(0, 0, 255);

// A raised bevel when up, a sunken one when pressed.
void DrawFrame(QPainter& painter, bool pressed) {
    const QRect face(0, 0, kToolPictureWidth, kToolPictureHeight);
    painter.fillRect(face, kFace);
    painter.setPen(pressed ? kShadow : kLight);
    painter.drawLine(face.topLeft(), face.topRight());
    painter.drawLine(face.topLeft(), face.bottomLeft());
    painter.setPen(pressed ? kLight : kInk);
    painter.drawLine(face.bottomLeft(), face.bottomRight());
    painter.drawLine(face.topRight(), face.bottomRight());
}

void DrawMagnifier(QPainter& painter, bool plus) {
    painter.setPen(QPen(kInk, 1));
    painter.setBrush(kLens);
    painter.drawEllipse(QRect(4, 3, 10, 10));
    painter.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(14, 13, 18, 17);
    painter.setPen(QPen(kInk, 1));
    painter.drawLine(6, 8, 12, 8);
    if (plus) painter.drawLine(9, 5, 9, 11);
}

void DrawHand(QPainter& painter) {
    const QPolygon hand({{7, 18}, {4, 12}, {5, 11}, {8, 14}, {8, 5}, {10, 5}, {10, 10}, {10, 4}, {12, 4}, {12, 10},
                         {12, 5}, {14, 5}, {14, 11}, {14, 7}, {16, 7}, {16, 15}, {14, 18}});
    painter.setPen(QPen(kInk, 1));
    painter.setBrush(kLight);
    painter.drawPolygon(hand);
}

}  // namespace

QImage DrawToolPicture(ToolPicture picture, PictureState state) {
    QImage image(kToolPictureWidth, kToolPictureHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    const bool pressed = state == PictureState::kPressed;
    DrawFrame(painter, pressed);
    // The picture moves by a pixel when pressed, as a pushed button does.
    if (pressed) painter.translate(1, 1);
    switch (picture) {
    case ToolPicture::kZoomIn:
        DrawMagnifier(painter, true);
        break;
    case ToolPicture::kZoomOut:
        DrawMagnifier(painter, false);
        break;
    case ToolPicture::kPan:
        DrawHand(painter);
        break;
    }
    if (state == PictureState::kFocused) {
        painter.resetTransform();
        painter.setPen(QPen(kFocus, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(2, 2, kToolPictureWidth - 5, kToolPictureHeight - 5);
    }
    return image;
}

}  // namespace vexa
