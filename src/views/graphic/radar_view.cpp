#include "receiver/binary/message_ids.h"
#include "views/graphic/radar_view.h"

#include <QPainter>

#include "views/graphic/view_sky.h"
#include "views/page_palette.h"

namespace vexa {

CRadarView::CRadarView(CViewSky* page, ModelReader read, QWidget* parent)
    : QFrame(parent), page_(page), read_(std::move(read)) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CRadarView::OnUpdate(const LinkUpdate& update) {
    if (!IsDelivered(update, MessageId::NavData) && !std::holds_alternative<SkyUpdated>(update)) return;
    FillBoxes();
    this->update();
}

// The paint fills the boxes too; filling them here as well means a page painted for the first time
// shows them at once, since the page's boxes are painted before the plot.
void CRadarView::FillBoxes() {
    if (page_ != nullptr && SkyBoxTextsFor(read_(), boxes_)) page_->SetBoxTexts(boxes_);
}

void CRadarView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    const QRect client = contentsRect();
    painter.fillRect(client, kPaletteBlack);
    geometry_ = SkyGeometryFor(client.size());
    if (!DrawSkyPlot(image_, geometry_, read_(), boxes_)) return;
    if (page_ != nullptr) page_->SetBoxTexts(boxes_);
    painter.drawImage(client.topLeft(), image_);
}

}  // namespace vexa
