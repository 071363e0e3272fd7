#include "views/graphic/plot_view.h"

#include <QPainter>
#include <algorithm>

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
    update();
}

void CMapView::SetOrigin(double latitude, double longitude) {
    settings_.m_dOriginLat = latitude;
    settings_.m_dOriginLon = longitude;
    store_.SavePlotSettings();
    nextSlot_ = oldestSlot_ = count_ = 0;
    Rebuild();
}

QPoint CMapView::Project(const GeodeticFix& fix) const {
    return {PlotCoordinate(scale_ * MetresPerDegreeLongitude(fix.latitude) * (fix.longitude - originLon_) + kCentre),
            PlotCoordinate(kCentre - scale_ * (fix.latitude - originLat_) * kMetresPerDegreeLatitude)};
}

void CMapView::OnUpdate(const LinkUpdate& update) {
    if (!IsPositionUpdate(update)) return;
    if (const std::optional<GeodeticFix> fix = readFix_()) AddFix(*fix);
    this->update();
}

void CMapView::AddFix(const GeodeticFix& fix) {
    if (!PlotOriginSet(settings_.m_dOriginLat, settings_.m_dOriginLon)) SetOrigin(fix.latitude, fix.longitude);
    history_[nextSlot_] = Project(fix);
    nextSlot_ = (nextSlot_ + 1) % kHistorySize;
    if (count_ < kHistorySize) ++count_;
    DrawHistory();
    if (count_ == kHistorySize) oldestSlot_ = (oldestSlot_ + 1) % kHistorySize;
}

void CMapView::DrawHistory() {
    QPainter painter(&image_);
    for (int j = 0; j < count_; ++j) {
        const QPoint& point = history_[(oldestSlot_ + j) % kHistorySize];
        const QColor& colour = kFadeColours[kHistorySize - count_ + j];
        painter.setPen(colour);
        painter.setBrush(colour);
        DrawBoxEllipse(painter, point.x() - 2, point.y() - 2, point.x() + 2, point.y() + 2);
    }
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
    painter.drawImage(ImageOrigin(), image_);
}

}  // namespace vexa
