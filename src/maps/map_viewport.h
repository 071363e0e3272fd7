#pragma once

#include "maps/geo_types.h"

namespace vexa {

// What a map window shows: a centre, a width in metres (the zoom) and a size in pixels.
// Pixels are square on the ground, so the vertical extent follows from the width, the height
// and the latitude.
class MapViewport {
public:
    static constexpr double kMinZoomMetres = 1.0;
    static constexpr double kMaxZoomMetres = 4.0e7;

    MapViewport() = default;
    MapViewport(GeoPoint center, double zoomMetres, int widthPixels, int heightPixels);

    GeoPoint Center() const { return center_; }
    double ZoomMetres() const { return zoom_; }
    int WidthPixels() const { return width_; }
    int HeightPixels() const { return height_; }

    // Values out of range are clamped; values that are not numbers are ignored.
    void SetCenter(GeoPoint center);
    void SetZoomMetres(double zoomMetres);
    void SetSize(int widthPixels, int heightPixels);

    double HorizontalExtent() const;  // degrees of longitude across the view
    double VerticalExtent() const;    // degrees of latitude down the view
    GeoRect Bounds() const;

    // The zoom at which the view shows a rectangle whole, around the rectangle's centre.
    double ZoomToFit(const GeoRect& rect) const;

    double PixelX(double longitude) const { return (longitude - left_) * pixelsPerDegreeX_; }
    double PixelY(double latitude) const { return (top_ - latitude) * pixelsPerDegreeY_; }
    GeoPoint ToGeo(double pixelX, double pixelY) const;

private:
    void Update();

    GeoPoint center_;
    double zoom_ = 10000.0;
    int width_ = 1;
    int height_ = 1;
    double left_ = 0.0;
    double top_ = 0.0;
    double pixelsPerDegreeX_ = 1.0;
    double pixelsPerDegreeY_ = 1.0;
};

// Metres along a meridian per degree of latitude (mean).
inline constexpr double kMetresPerDegreeLatitude = 111132.954;
// Metres per degree of longitude at the equator on the WGS-84 ellipsoid.
inline constexpr double kMetresPerDegreeEquator = 111319.49079327357;

// Metres per degree of longitude at a latitude; near the poles held at its value for 85°, so that
// extents stay finite.
double MetresPerDegreeLongitudeAt(double latitude);

}  // namespace vexa
