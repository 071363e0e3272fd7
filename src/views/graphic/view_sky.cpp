#include "receiver/binary/message_ids.h"
#include "views/graphic/view_sky.h"

#include <QPainter>

#include "views/fitted_text.h"
#include "views/graphic/radar_view.h"
#include "views/page_palette.h"
#include "views/page_text.h"
#include "views/satellite_label.h"
#include "views/scaled_view.h"

namespace vexa {

namespace {

QLabel* MakeBox(QWidget* page, const QFont& font, int id, int column, int top) {
    auto* box = new FittedLabel(page);
    box->setObjectName(QString::number(id));
    box->setFrameStyle(QFrame::Box | QFrame::Plain);
    box->setAlignment(Qt::AlignCenter);
    box->setGeometry(4 + 19 * column, top, 18, 12);
    box->setFont(font);
    return box;
}

}  // namespace

CViewSky::CViewSky(ModelReader read, QWidget* parent)
    : QWidget(parent), labelFont_(ArialCell(11)), boxLabels_(labelFont_) {
    for (int i = 0; i < static_cast<int>(kTrackChannels); ++i) {
        satellite_[i] = MakeBox(this, labelFont_, kFirstSatelliteBox + i, i, 185);
        azimuth_[i] = MakeBox(this, labelFont_, kFirstAzimuthBox + i, i, 207);
        elevation_[i] = MakeBox(this, labelFont_, kFirstElevationBox + i, i, 229);
    }
    plot_ = new CRadarView(this, std::move(read), this);
    plot_->setGeometry(30, 1, 174, 174);
}

void CViewSky::OnInitialUpdate() {
    plot_->FillBoxes();
    plot_->Redraw();
}

// The page itself draws only its captions: the plot and the boxes whose texts change repaint alone.
void CViewSky::OnUpdate(const LinkUpdate& update) { plot_->OnUpdate(update); }

// Most updates bring the texts already shown: they are neither fitted nor set again.
void CViewSky::SetBoxTexts(const SkyBoxTexts& texts) {
    ShownBoxes wanted{texts, ScaledView::PixelsPerUnit(*this)};
    if (shown_ == wanted) return;
    shown_ = std::move(wanted);
    for (std::size_t i = 0; i < kTrackChannels; ++i) {
        QLabel& box = *satellite_[i];
        const BoxLabel label = texts[i].id ? boxLabels_.For(*texts[i].id, box.contentsRect().width(), shown_->pixelsPerUnit)
                                           : BoxLabel{texts[i].satellite, labelFont_};
        box.setFont(label.font);
        box.setText(label.text);
        azimuth_[i]->setText(texts[i].azimuth);
        elevation_[i]->setText(texts[i].elevation);
    }
}

SkyChannelTexts CViewSky::BoxTexts(int channel) const {
    return {satellite_[channel]->text(), azimuth_[channel]->text(), elevation_[channel]->text(), std::nullopt};
}

void CViewSky::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The whole page as it is now: the tab host sizes the page after its first update.
    painter.fillRect(rect(), kPaletteLightGrey);
    DrawPageLabel(painter, labelFont_, {4, 175}, QStringLiteral("Satellite:"));
    DrawPageLabel(painter, labelFont_, {4, 197}, QStringLiteral("Azimuth:"));
    DrawPageLabel(painter, labelFont_, {4, 219}, QStringLiteral("Elevation:"));
}

}  // namespace vexa
