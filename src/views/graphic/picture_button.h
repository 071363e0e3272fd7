#pragma once

#include <QAbstractButton>
#include <QPixmap>

#include "views/graphic/tool_pictures.h"

namespace vexa {

// A button that is only a picture, in its normal, pressed or focused state.
class PictureButton : public QAbstractButton {
    Q_OBJECT
public:
    PictureButton(ToolPicture picture, QWidget* parent);
    QSize sizeHint() const override { return {kToolPictureWidth, kToolPictureHeight}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap normal_;
    QPixmap pressed_;
    QPixmap focused_;
};

}  // namespace vexa
