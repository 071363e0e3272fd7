#include "views/graphic/plot_view.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "receiver/binary/coordinate_conversion.h"
#include "uicore/settings_sections.h"
#include "views/box_ellipse.h"
#include "views/page_palette.h"
#include "views/page_text.h"

namespace vexa {

namespace {

constexpr int kCentre = CMapView::kPlotSize / 2;
constexpr double kMetresPerDegreeLatitude = 111199.233;

const QColor kFadeColours[CMapView::kHistorySize] = {
    QColor(0, 0, 255),   QColor(0, 32, 220), QColor(0, 64, 160), QColor(0, 96, 140),
    QColor(0, 120, 120), QColor(0, 160, 32), QColor(0, 220, 20), QColor(0, 255, 0),
};

// Truncated toward zero and kept on the plot; clamped before the conversion, so a fix on the
// far side of the earth lands on the right edge instead of overflowing.
int PlotCoordinate(double value) {
    if (!(value >= 1.0)) return 0;
    if (value >= CMapView::kPlotSize - 1) return CMapView::kPlotSize - 1;
    return static_cast<int>(value);
}

}  // namespace

CMapView::CMapView(AppSettings& settings, SettingsSections& store, GeodeticFixReader readFix, QWidget* parent)
    : QFrame(parent), settings_(settings), store_(store), readFix_(std::move(readFix)) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setAccessibleName(QStringLiteral("Position plot"));
    setAccessibleDescription(QStringLiteral("The latest positions as dots around the origin, fading with age, inside three rings"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CMapView::OnInitialUpdate() { Rebuild(); }

void CMapView::Rebuild() {
    originLat_ = settings_.m_dOriginLat;
    originLon_ = settings_.m_dOriginLon;
    rings_ = {settings_.m_nRing1, settings_.m_nRing2, settings_.m_nRing3};
    // The radii are checked when read and when edited; the guard only keeps a stray 0 from dividing.
    scale_ = 80.0 / std::max(rings_[2], 1);

    image_ = QImage(kPlotSize, kPlotSize, QImage::Format_RGB32);
    image_.fill(kPaletteWhite);
    QPainter painter(&image_);
    DrawBackground(painter);
    trail_.assign(trail_.size(), false);
    historyDrawn_ = false;
    zoomed_ = QImage();
    update();
}

void CMapView::DrawBackground(QPainter& painter) const {
    painter.setPen(kPaletteBlack);
    const QPoint corners[] = {{0, 0}, {159, 0}, {159, 159}, {0, 159}, {0, 0}};
    painter.drawPolyline(corners, 5);
    painter.drawLine(0, kCentre, kPlotSize - 1, kCentre);
    painter.drawLine(kCentre, 0, kCentre, kPlotSize - 1);
    painter.setBrush(Qt::NoBrush);
    for (int ring : rings_) {
        const int r = static_cast<int>(std::clamp(ring * scale_, -double(kPlotSize), double(kPlotSize)));
        DrawBoxEllipse(painter, kCentre - r, kCentre - r, kCentre + r, kCentre + r);
    }
}

void CMapView::SetOrigin(double latitude, double longitude) {
    settings_.m_dOriginLat = latitude;
    settings_.m_dOriginLon = longitude;
    store_.SavePlotSettings();
    nextSlot_ = count_ = 0;
    Rebuild();
}

QPoint CMapView::Project(const GeodeticFix& fix) const {
    return {PlotCoordinate(scale_ * MetresPerDegreeLongitude(fix.latitude) * (fix.longitude - originLon_) + kCentre),
            PlotCoordinate(kCentre - scale_ * (fix.latitude - originLat_) * kMetresPerDegreeLatitude)};
}

void CMapView::OnUpdate(const LinkUpdate& update) {
    if (!IsPositionUpdate(update)) return;
    const std::optional<GeodeticFix> fix = readFix_();
    if (fix && AddFix(*fix)) this->update();
}

bool CMapView::AddFix(const GeodeticFix& fix) {
    if (!PlotOriginSet(settings_.m_dOriginLat, settings_.m_dOriginLon)) SetOrigin(fix.latitude, fix.longitude);
    // The oldest dot leaves the history but stays on the image in the oldest colour it was drawn in.
    if (count_ == kHistorySize && historyDrawn_) {
        const QPoint& left = history_[nextSlot_];
        trail_[static_cast<std::size_t>(left.y() * kPlotSize + left.x())] = true;
    }
    history_[nextSlot_] = Project(fix);
    nextSlot_ = (nextSlot_ + 1) % kHistorySize;
    if (count_ < kHistorySize) ++count_;
    return DrawHistory();
}

// The history oldest first, without the dots a newer one at the same point covers whole: a
// receiver standing still puts most of its fixes on the same pixel.
std::vector<CMapView::Dot> CMapView::VisibleDots() const {
    // Until the history is full its oldest dot is in the first slot, then in the next to be reused.
    const int oldest = count_ == kHistorySize ? nextSlot_ : 0;
    std::vector<Dot> dots;
    dots.reserve(kHistorySize);
    for (int j = 0; j < count_; ++j) {
        const QPoint& point = history_[(oldest + j) % kHistorySize];
        std::erase_if(dots, [&point](const Dot& dot) { return dot.point == point; });
        dots.push_back({point, kHistorySize - count_ + j});
    }
    return dots;
}

void CMapView::DrawHistory(QPainter& painter) const {
    for (const Dot& dot : VisibleDots()) {
        const QColor& colour = kFadeColours[dot.colour];
        painter.setPen(colour);
        painter.setBrush(colour);
        DrawBoxEllipse(painter, dot.point.x() - 2, dot.point.y() - 2, dot.point.x() + 2, dot.point.y() + 2);
    }
}

// Dots drawn over the same dots change nothing, so the same dots as last time are not drawn again.
bool CMapView::DrawHistory() {
    std::vector<Dot> dots = VisibleDots();
    if (historyDrawn_ && dots == drawn_) return false;
    historyDrawn_ = true;
    drawn_ = std::move(dots);
    QPainter painter(&image_);
    DrawHistory(painter);
    if (!zoomed_.isNull()) {
        QPainter zoomed(&zoomed_);
        zoomed.scale(zoomedAt_, zoomedAt_);
        DrawHistory(zoomed);
    }
    return true;
}

// The image drawn again at `zoom`: the background, the dots left behind (all in the oldest colour,
// so their order does not matter), then the history over them, as the image holds them.
void CMapView::DrawZoomed(double zoom) {
    const int pixels = static_cast<int>(std::ceil(kPlotSize * zoom));
    zoomed_ = QImage(pixels, pixels, QImage::Format_RGB32);
    zoomedAt_ = zoom;
    zoomed_.fill(kPaletteWhite);
    QPainter painter(&zoomed_);
    painter.scale(zoom, zoom);
    DrawBackground(painter);
    painter.setPen(kFadeColours[0]);
    painter.setBrush(kFadeColours[0]);
    for (int y = 0; y < kPlotSize; ++y) {
        for (int x = 0; x < kPlotSize; ++x) {
            if (trail_[static_cast<std::size_t>(y * kPlotSize + x)]) DrawBoxEllipse(painter, x - 2, y - 2, x + 2, y + 2);
        }
    }
    if (historyDrawn_) DrawHistory(painter);
}

QPoint CMapView::ImageOrigin() const {
    const QRect client = contentsRect();
    return client.topLeft() + QPoint(client.width() / 2 - kCentre, client.height() / 2 - kCentre);
}

void CMapView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    const QRect client = contentsRect();
    painter.fillRect(client, kPaletteLightGrey);
    static const QFont captionFont = ArialPixels(11, true);
    DrawPageLabel(painter, captionFont, client.topLeft() + QPoint(2, client.height() - 16),
                  QString::asprintf("Rings: %d, %d, %d [m]     ", rings_[0], rings_[1], rings_[2]),
                  kPaletteLightGrey);
    painter.setClipRect(client);
    // The device pixels of one page unit, the window's scale and the screen's together.
    const double zoom = painter.deviceTransform().m11();
    if (zoom <= 1.0) {
        painter.drawImage(ImageOrigin(), image_);
        return;
    }
    if (zoomed_.isNull() || zoomedAt_ != zoom) DrawZoomed(zoom);
    painter.drawImage(QRectF(ImageOrigin(), QSizeF(kPlotSize, kPlotSize)), zoomed_);
}

}  // namespace vexa
