#include "receiver/binary/message_ids.h"
#include "views/signal_view.h"

#include <QLabel>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include "receiver/product/receiver_context.h"
#include "uicore/feed_doc.h"
#include "receiver/binary/nav_mode_bits.h"
#include "views/page_palette.h"
#include "views/page_text.h"
#include "views/satellite_colour.h"
#include "views/satellite_label.h"
#include "views/scaled_view.h"
#include "views/signal_bar.h"
#include "views/signal_places.h"
#include "views/static_text.h"

namespace vexa {

namespace {

constexpr int kRowPitch = 19;
constexpr int kBarLower = 10;
constexpr int kBarUpper = 50;

}  // namespace

// A place shows a satellite's number, its C/N0 and, by whether it is used, its colour.
bool CSignalView::ShownSky::operator==(const ShownSky& other) const {
    const auto samePlace = [](const SkySatellite& a, const SkySatellite& b) {
        return a.id == b.id && a.cn0 == b.cn0 && a.used == b.used;
    };
    return std::ranges::equal(places, other.places, samePlace) && quality == other.quality &&
           pixelsPerUnit == other.pixelsPerUnit;
}

std::int64_t SteadyTicks() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

CSignalView::CSignalView(ReceiverContext& context, ModelReader read, QWidget* parent, TickSource ticks)
    : QWidget(parent),
      context_(context),
      read_(std::move(read)),
      ticks_(ticks ? std::move(ticks) : TickSource(SteadyTicks)),
      font_(ArialCell(13)),
      boxLabels_(font_),
      ttff_(MakeStaticText(this, kTtff, RectLtrb(101, 4, 172, 20), Qt::AlignHCenter)),
      fixStatusColour_(kPaletteRed) {
    setFont(font_);
    for (int i = 0; i < static_cast<int>(kTrackChannels); ++i) {
        const int x = 4 + kRowPitch * i;
        numbers_[i] = MakeStaticText(this, kFirstNumber + i, RectLtrb(x, 195, x + 18, 210), Qt::AlignHCenter);
        strengths_[i] = MakeStaticText(this, kFirstStrength + i, RectLtrb(x, 226, x + 18, 241), Qt::AlignHCenter);
        bars_[i] = new CSignalBar(this);
        bars_[i]->setObjectName(QString::number(kFirstBar + i));
        bars_[i]->setGeometry(RectLtrb(x + 1, 30, x + 17, 177));
        bars_[i]->SetRange(kBarLower, kBarUpper);
        bars_[i]->setAccessibleName(QStringLiteral("Signal bar %1").arg(i + 1));
        bars_[i]->setAccessibleDescription(QStringLiteral("The C/N0 of the satellite in place %1, as a bar").arg(i + 1));
    }
}

void CSignalView::OnInitialUpdate() {
    shownSky_.reset();
    for (int i = 0; i < static_cast<int>(kTrackChannels); ++i) {
        numbers_[i]->setFont(font_);
        strengths_[i]->setFont(font_);
    }
}

// QLabel::clear repaints even an empty label; setting the empty text it already shows does not.
void CSignalView::ClearPlace(int place) {
    bars_[place]->SetPos(0);
    numbers_[place]->setText(QString());
    strengths_[place]->setText(QString());
}

QColor CSignalView::ShowSky(const GnssSky& sky, const GnssFix* fix) {
    ShownSky wanted{SatellitesForTwelvePlaces(sky), fix != nullptr ? std::optional(fix->quality) : std::nullopt,
                    ScaledView::PixelsPerUnit(*this)};
    if (shownSky_ != wanted) {
        shownSky_ = std::move(wanted);
        skyTracking_ = ShowPlaces(shownSky_->places, fix, shownSky_->pixelsPerUnit);
    }
    if (fix != nullptr && fix->hasPosition()) {
        lastFixTick_ = ticks_();
        return kPaletteGreen;
    }
    return skyTracking_ ? kPaletteBlue : kPaletteRed;
}

bool CSignalView::ShowPlaces(const std::vector<SkySatellite>& satellites, const GnssFix* fix, double pixelsPerUnit) {
    bool tracking = false;
    for (int i = 0; i < static_cast<int>(kTrackChannels); ++i) {
        if (i >= static_cast<int>(satellites.size())) {
            ClearPlace(i);
            continue;
        }
        const SkySatellite& satellite = satellites[i];
        const QColor colour = SatelliteColour(satellite, fix);
        tracking = tracking || colour == kPaletteBlue;
        bars_[i]->SetColour(colour);
        if (satellite.cn0) {
            const int strength = static_cast<int>(std::lround(*satellite.cn0));
            bars_[i]->SetPos(strength);
            strengths_[i]->setText(QString::number(strength));
        } else {
            bars_[i]->SetPos(0);
            strengths_[i]->setText(QString());
        }
        const BoxLabel& label = boxLabels_.For(satellite.id, numbers_[i]->contentsRect().width(), pixelsPerUnit);
        numbers_[i]->setFont(label.font);
        numbers_[i]->setText(label.text);
    }
    return tracking;
}

QColor CSignalView::ShowChannels(const ModelSnapshot& snapshot) {
    // Without binary channels the fix decides the status, even before any satellite list came.
    if (!snapshot.track) return ShowSky(snapshot.sky.value_or(GnssSky{}), snapshot.fix ? &*snapshot.fix : nullptr);
    shownSky_.reset();
    const NavData* nav = snapshot.nav ? &*snapshot.nav : nullptr;
    bool tracking = false;
    for (int i = 0; i < static_cast<int>(kTrackChannels); ++i) {
        const TrackChannel* channel = snapshot.track ? &snapshot.track->Channels[i] : nullptr;
        if (channel == nullptr || channel->Prn == 0) {
            ClearPlace(i);
            continue;
        }
        int sum = 0;
        for (std::uint8_t sample : channel->Cn0) sum += sample;
        const int average = sum / static_cast<int>(kCn0Samples);
        const QColor colour = SatelliteColour(*channel, nav);
        tracking = tracking || colour == kPaletteBlue;
        bars_[i]->SetColour(colour);
        bars_[i]->SetPos(average);
        strengths_[i]->setText(QString::number(average));
        numbers_[i]->setFont(font_);
        numbers_[i]->setText(QString::number(channel->Prn));
    }
    if (nav != nullptr && (nav->Mode1 & kPositionModeMask) != 0) {
        lastFixTick_ = ticks_();
        return kPaletteGreen;
    }
    return tracking ? kPaletteBlue : kPaletteRed;
}

void CSignalView::OnUpdate(const LinkUpdate& update) {
    if (context_.Ttff.changed()) {
        context_.Ttff.setChanged(false);
        ttff_->setText(QString::fromLatin1(context_.Ttff.text().c_str()));
    }
    if (std::holds_alternative<ClockTick>(update)) {
        const SteadyTime now{std::chrono::milliseconds(ticks_())};
        if (const auto count = context_.TtffCounter.counting(now)) ttff_->setText(QString::fromStdString(*count));
    }
    QColor status = fixStatusColour_;
    if (IsDelivered(update, MessageId::NavData) || std::holds_alternative<FixUpdated>(update) ||
        std::holds_alternative<SkyUpdated>(update))
        status = ShowChannels(read_());
    else if (fixStatusColour_ == kPaletteGreen && ticks_() >= lastFixTick_ + kFixLostAfterMs)
        status = kPaletteYellow;
    if (status != fixStatusColour_) {
        fixStatusColour_ = status;
        emit FixStatusColourChanged(status);
    }
}

void CSignalView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The whole page as it is now: the tab host sizes the page after its first update.
    painter.fillRect(rect(), kPaletteLightGrey);
    DrawPageLabel(painter, font_, {4, 4}, QStringLiteral("Time to First Fix:"));
    DrawPageLabel(painter, font_, {4, 180}, QStringLiteral("Satellite:"));
    DrawPageLabel(painter, font_, {4, 211}, QStringLiteral("Signal Strength (dB-Hz):"));
    painter.fillRect(QRect(3, 28, 229, 151), kPaletteBlack);
}

}  // namespace vexa
