#include "receiver/binary/message_ids.h"
#include "views/graphic/radar_view.h"

#include <QMouseEvent>
#include <algorithm>
#include <QPainter>
#include <QToolTip>
#include <cmath>
#include <cstring>

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

// The markers are composed at the size and zoom of the last paint: a plot showing the same picture
// is neither drawn nor painted again.
void CRadarView::OnUpdate(const LinkUpdate& change) {
    if (!IsDelivered(change, MessageId::NavData) && !std::holds_alternative<SkyUpdated>(change)) return;
    const ModelSnapshot snapshot = read_();
    ShowBoxes(snapshot);
    if (!drawnFor_) {
        update();
        return;
    }
    SkyPicture picture = ComposeSkyPlot(geometry_, snapshot, drawnFor_->zoom, &markers_);
    if (picture == picture_) return;
    picture_ = std::move(picture);
    imageStale_ = true;
    update();
}

void CRadarView::Redraw() {
    drawnFor_.reset();
    update();
}

void CRadarView::FillBoxes() { ShowBoxes(read_()); }

// The paint fills the boxes too; filling them at an update as well means a page painted for the
// first time shows them at once, since the page's boxes are painted before the plot.
void CRadarView::ShowBoxes(const ModelSnapshot& snapshot) {
    if (page_ != nullptr && SkyBoxTextsFor(snapshot, boxes_)) page_->SetBoxTexts(boxes_);
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
    // the plot as last drawn: it changes only with what it shows, its size or the screen's scale.
    const Drawn wanted{client.size(), zoom};
    if (drawnFor_ != wanted) {
        drawnFor_ = wanted;
        const ModelSnapshot snapshot = read_();
        picture_ = ComposeSkyPlot(geometry_, snapshot, zoom, &markers_);
        imageStale_ = true;
        if (picture_.shown) ShowBoxes(snapshot);
    }
    if (!picture_.shown) return;
    if (imageStale_) DrawImage();
    painter.drawImage(QRectF(client.topLeft(), QSizeF(image_.size()) / zoom), image_);
}

// The markers over a copy of the background, which is drawn again only for another size or zoom.
void CRadarView::DrawImage() {
    const Background wanted{picture_.side, picture_.zoom, picture_.shown};
    if (backgroundFor_ != wanted) {
        DrawSkyBackground(background_, geometry_, picture_.zoom, picture_.shown);
        backgroundFor_ = wanted;
    }
    if (image_.size() != background_.size() || image_.format() != background_.format())
        image_ = background_.copy();
    else
        std::memcpy(image_.bits(), background_.constBits(), static_cast<std::size_t>(background_.sizeInBytes()));
    DrawSkyMarks(image_, picture_);
    imageStale_ = false;
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
