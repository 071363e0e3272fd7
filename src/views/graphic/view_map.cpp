#include "views/graphic/view_map.h"

#include <QPainter>

#include "views/graphic/picture_button.h"

namespace vexa {

namespace {

const QColor kLightGrey(192, 192, 192);

PictureButton* MakeButton(ToolPicture picture, int id, const QRect& rect, QWidget* parent) {
    auto* button = new PictureButton(picture, parent);
    button->setObjectName(QString::number(id));
    button->setGeometry(rect);
    return button;
}

}  // namespace

CViewMap::CViewMap(Prompts& prompts, GeodeticFixReader readFix, QWidget* parent,
                   const MapControlFactory& createControl)
    : QWidget(parent),
      zoomIn_(MakeButton(ToolPicture::kZoomIn, kZoomInButton, QRect(5, 218, 22, 21), this)),
      zoomOut_(MakeButton(ToolPicture::kZoomOut, kZoomOutButton, QRect(29, 218, 22, 21), this)),
      pan_(MakeButton(ToolPicture::kPan, kPanButton, QRect(53, 218, 22, 21), this)),
      cartexView_(new CCartexView(prompts, std::move(readFix), this, createControl)) {
    cartexView_->setGeometry(QRect(QPoint(-1, -1), QPoint(239, 209)));
    connect(zoomIn_, &QAbstractButton::clicked, this, [this] { ChooseTool(CCartex::kToolZoomIn); });
    connect(zoomOut_, &QAbstractButton::clicked, this, [this] { ChooseTool(CCartex::kToolZoomOut); });
    connect(pan_, &QAbstractButton::clicked, this, [this] { ChooseTool(CCartex::kToolPan); });
}

PictureButton* CViewMap::Button(int id) const {
    switch (id) {
    case kZoomInButton:
        return zoomIn_;
    case kZoomOutButton:
        return zoomOut_;
    case kPanButton:
        return pan_;
    default:
        return nullptr;
    }
}

void CViewMap::OnInitialUpdate() {
    ChooseTool(CCartex::kToolZoomIn);
}

void CViewMap::OnUpdate(const LinkUpdate& update) {
    cartexView_->OnUpdate(update);
    if (IsPositionUpdate(update) && cartexView_->MapLoaded()) cartexView_->update();
}

void CViewMap::ChooseTool(int tool) {
    if (cartexView_->MapLoaded()) cartexView_->Control()->SetCurrentTool(tool);
}

void CViewMap::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The whole page as it is now: the tab host sizes the page after its first update.
    painter.fillRect(rect(), kLightGrey);
    if (!cartexView_->MapLoaded()) return;
    switch (cartexView_->Control()->CurrentTool()) {
    case CCartex::kToolZoomIn:
        zoomIn_->setFocus();
        break;
    case CCartex::kToolZoomOut:
        zoomOut_->setFocus();
        break;
    default:
        pan_->setFocus();
        break;
    }
}

}  // namespace vexa
