#include "receiver/binary/message_ids.h"
#include "views/graphic/radar_view.h"

#include <QMouseEvent>
#include <algorithm>
#include <QPainter>
#include <QToolTip>
#include <cmath>

#include "views/graphic/view_sky.h"
#include "views/page_palette.h"

namespace vexa {

CRadarView::CRadarView(CViewSky* page, ModelReader read, QWidget* parent)
    : QFrame(parent), page_(page), read_(std::move(read)) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setAccessibleName(QStringLiteral("Sky plot"));
    setAccessibleDescription(
        QStringLiteral("The satellites by azimuth and elevation, north up; hover a satellite for its details"));
}

void CRadarView::OnUpdate(const LinkUpdate& update) {
    if (!IsDelivered(update, MessageId::NavData) && !std::holds_alternative<SkyUpdated>(update)) return;
    FillBoxes();
    Redraw();
}

void CRadarView::Redraw() {
    drawnFor_.reset();
    update();
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
    // The device pixels of one page unit, the window's scale and the screen's together.
    const double zoom = std::max(1.0, painter.deviceTransform().m11());
    // A paint for a neighbour's change (All Pages repaints what lies between two changed pages) copies
    // the plot as last drawn: it changes only with the link's data, its size or the screen's scale.
    const Drawn wanted{client.size(), zoom};
    if (drawnFor_ != wanted) {
        drawnFor_ = wanted;
        plotShown_ = DrawSkyPlot(image_, geometry_, read_(), boxes_, zoom, &markers_);
        if (plotShown_ && page_ != nullptr) page_->SetBoxTexts(boxes_);
    }
    if (plotShown_) painter.drawImage(QRectF(client.topLeft(), QSizeF(image_.size()) / zoom), image_);
}

void CRadarView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position() - contentsRect().topLeft();
    // The satellite drawn last is on top.
    for (auto marker = markers_.rbegin(); marker != markers_.rend(); ++marker) {
        if (std::hypot(at.x() - marker->at.x(), at.y() - marker->at.y()) <= marker->halfWidth) {
            QToolTip::showText(event->globalPosition().toPoint(), SkyMarkerTip(*marker), this);
            return;
        }
    }
    QToolTip::hideText();
}

}  // namespace vexa
