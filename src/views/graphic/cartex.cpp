#include "views/graphic/cartex.h"

#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "maps/circle_region.h"
#include "maps/geoset_map.h"

namespace vexa {

namespace {

// A press and release closer than this is a click, not a drag.
constexpr int kDragThreshold = 4;
constexpr double kFitMargin = 1.05;
constexpr double kSmallestFittedZoom = 200.0;
constexpr int kDefaultWidth = 239;
constexpr int kDefaultHeight = 210;

bool IsDrag(const QPoint& from, const QPoint& to) {
    return std::abs(to.x() - from.x()) >= kDragThreshold || std::abs(to.y() - from.y()) >= kDragThreshold;
}

}  // namespace

CCartex::CCartex(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("1020"));
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Map"));
    setAccessibleDescription(QStringLiteral("The loaded map with the receiver's position marker"));
    resize(kDefaultWidth, kDefaultHeight);
}

const MapViewport& CCartex::View() const {
    viewport_.SetSize(width(), height());
    return viewport_;
}

void CCartex::SetGeoSet(const QString& path) {
    auto loaded = LoadGeosetMap(std::filesystem::path(QFile::encodeName(path).toStdString()));
    if (auto* problem = std::get_if<std::string>(&loaded)) throw MapControlError(*problem);
    GeosetMap& map = std::get<GeosetMap>(loaded);

    geoSet_ = path;
    title_ = QString::fromStdString(map.name);
    loadProblems_ = QString::fromStdString(LayerProblemsText(map.problems));
    viewport_.SetCenter(map.center.value_or(map.bounds.Center()));
    viewport_.SetZoomMetres(map.zoomMetres.value_or(std::max(View().ZoomToFit(map.bounds) * kFitMargin,
                                                             kSmallestFittedZoom)));
    layers_.Reset(std::move(map.layers));
    Changed();
}

void CCartex::SetZoom(double metres) {
    viewport_.SetZoomMetres(metres);
    Changed();
}

void CCartex::SetBounds(const GeoRect& rect) {
    if (rect.IsEmpty()) return;
    viewport_.SetCenter(rect.Center());
    Changed();
    emit ViewChanged();
}

VectorFeature CCartex::CreateCircularRegion(int type, const GeoPoint& center, double radiusMiles,
                                            const RegionStyle& style) const {
    if (type != 0) throw MapControlError("Unknown feature type " + std::to_string(type) + ".");
    return MakeCircularRegion(center, radiusMiles, style);
}

void CCartex::SetTitleVisible(bool visible) {
    titleVisible_ = visible;
    Changed();
}

void CCartex::Changed() {
    if (autoRedraw_) update();
}

void CCartex::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter_.Paint(painter, View(), layers_);
    if (titleVisible_ && !title_.isEmpty()) {
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(12);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(rect().adjusted(4, 2, -4, -2), Qt::AlignLeft | Qt::AlignTop, title_);
    }
    if (pressedAt_ && tool_ == kToolZoomIn && IsDrag(*pressedAt_, draggedTo_)) {
        painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(*pressedAt_, draggedTo_).normalized());
    }
}

void CCartex::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    pressedAt_ = event->position().toPoint();
    draggedTo_ = *pressedAt_;
    viewAtPress_ = View();
}

void CCartex::mouseMoveEvent(QMouseEvent* event) {
    if (!pressedAt_) return;
    draggedTo_ = event->position().toPoint();
    if (tool_ == kToolPan) {
        // The point under the pointer at the press stays under the pointer.
        const GeoPoint grabbed = viewAtPress_.ToGeo(pressedAt_->x(), pressedAt_->y());
        const GeoPoint now = viewAtPress_.ToGeo(draggedTo_.x(), draggedTo_.y());
        const GeoPoint center = viewAtPress_.Center();
        viewport_.SetCenter({center.x + grabbed.x - now.x, center.y + grabbed.y - now.y});
    }
    update();
}

void CCartex::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressedAt_) return;
    mouseMoveEvent(event);
    const QPoint from = *pressedAt_;
    pressedAt_.reset();
    const bool dragged = IsDrag(from, draggedTo_);
    switch (tool_) {
    case kToolPan:
        if (!dragged) {
            // A shaky click is no pan.
            viewport_.SetCenter(viewAtPress_.Center());
            update();
            return;
        }
        break;
    case kToolZoomIn:
        if (dragged) {
            ZoomToPixels(from, draggedTo_);
        } else {
            ZoomAround(from, 0.5);
        }
        break;
    case kToolZoomOut:
        ZoomAround(from, 2.0);
        break;
    default:
        update();
        return;
    }
    update();
    emit ViewChanged();
}

void CCartex::ZoomAround(const QPoint& pixel, double factor) {
    viewport_.SetCenter(View().ToGeo(pixel.x(), pixel.y()));
    viewport_.SetZoomMetres(viewport_.ZoomMetres() * factor);
}

void CCartex::ZoomToPixels(const QPoint& corner, const QPoint& oppositeCorner) {
    GeoRect rect;
    rect.Include(View().ToGeo(corner.x(), corner.y()));
    rect.Include(View().ToGeo(oppositeCorner.x(), oppositeCorner.y()));
    viewport_.SetCenter(rect.Center());
    viewport_.SetZoomMetres(View().ZoomToFit(rect));
}

}  // namespace vexa
