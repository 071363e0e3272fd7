#include "maps/map_viewport.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vexa {

namespace {

constexpr double kMinLongitudeScale = 0.0872;

}  // namespace

MapViewport::MapViewport(GeoPoint center, double zoomMetres, int widthPixels, int heightPixels) {
    SetCenter(center);
    SetZoomMetres(zoomMetres);
    SetSize(widthPixels, heightPixels);
}

void MapViewport::SetCenter(GeoPoint center) {
    if (std::isnan(center.x) || std::isnan(center.y)) return;
    // A view may look across the date line, but not wander off without end.
    center_ = {std::clamp(center.x, -360.0, 360.0), std::clamp(center.y, -90.0, 90.0)};
    Update();
}

void MapViewport::SetZoomMetres(double zoomMetres) {
    if (std::isnan(zoomMetres)) return;
    zoom_ = std::clamp(zoomMetres, kMinZoomMetres, kMaxZoomMetres);
    Update();
}

void MapViewport::SetSize(int widthPixels, int heightPixels) {
    width_ = std::max(widthPixels, 1);
    height_ = std::max(heightPixels, 1);
    Update();
}

double MetresPerDegreeLongitudeAt(double latitude) {
    return kMetresPerDegreeEquator * std::max(std::cos(latitude * std::numbers::pi / 180.0), kMinLongitudeScale);
}

double MapViewport::HorizontalExtent() const { return zoom_ / MetresPerDegreeLongitudeAt(center_.y); }

double MapViewport::VerticalExtent() const {
    return zoom_ * static_cast<double>(height_) / static_cast<double>(width_) / kMetresPerDegreeLatitude;
}

GeoRect MapViewport::Bounds() const {
    const double halfWidth = HorizontalExtent() / 2.0;
    const double halfHeight = VerticalExtent() / 2.0;
    return {center_.x - halfWidth, center_.y - halfHeight, center_.x + halfWidth, center_.y + halfHeight};
}

double MapViewport::ZoomToFit(const GeoRect& rect) const {
    const double byWidth = rect.Width() * MetresPerDegreeLongitudeAt(center_.y);
    const double byHeight = rect.Height() * kMetresPerDegreeLatitude * static_cast<double>(width_) /
                            static_cast<double>(height_);
    return std::max(byWidth, byHeight);
}

GeoPoint MapViewport::ToGeo(double pixelX, double pixelY) const {
    return {left_ + pixelX / pixelsPerDegreeX_, top_ - pixelY / pixelsPerDegreeY_};
}

void MapViewport::Update() {
    const GeoRect bounds = Bounds();
    left_ = bounds.minX;
    top_ = bounds.maxY;
    pixelsPerDegreeX_ = static_cast<double>(width_) / bounds.Width();
    pixelsPerDegreeY_ = static_cast<double>(height_) / bounds.Height();
}

}  // namespace vexa
