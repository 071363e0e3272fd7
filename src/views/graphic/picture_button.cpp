#include "views/graphic/picture_button.h"

#include <QPainter>

namespace vexa {

PictureButton::PictureButton(ToolPicture picture, QWidget* parent)
    : QAbstractButton(parent),
      normal_(QPixmap::fromImage(DrawToolPicture(picture, PictureState::kNormal))),
      pressed_(QPixmap::fromImage(DrawToolPicture(picture, PictureState::kPressed))),
      focused_(QPixmap::fromImage(DrawToolPicture(picture, PictureState::kFocused))) {
    setFocusPolicy(Qt::StrongFocus);
}

void PictureButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, isDown() ? pressed_ : hasFocus() ? focused_ : normal_);
}

}  // namespace vexa
