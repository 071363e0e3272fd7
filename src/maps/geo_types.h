#pragma once

#include <algorithm>
#include <limits>

namespace vexa {

// A position as WGS-84 longitude (x) and latitude (y) in degrees.
struct GeoPoint {
    double x = 0.0;
    double y = 0.0;

    void Set(double newX, double newY) {
        x = newX;
        y = newY;
    }
    friend bool operator==(const GeoPoint&, const GeoPoint&) = default;
};

// An axis-aligned rectangle in degrees; an empty one holds nothing and unites with anything.
struct GeoRect {
    double minX = std::numeric_limits<double>::infinity();
    double minY = std::numeric_limits<double>::infinity();
    double maxX = -std::numeric_limits<double>::infinity();
    double maxY = -std::numeric_limits<double>::infinity();

    bool IsEmpty() const { return !(minX <= maxX && minY <= maxY); }
    double Width() const { return IsEmpty() ? 0.0 : maxX - minX; }
    double Height() const { return IsEmpty() ? 0.0 : maxY - minY; }
    GeoPoint Center() const { return {(minX + maxX) / 2.0, (minY + maxY) / 2.0}; }

    void Include(const GeoPoint& point) {
        minX = std::min(minX, point.x);
        minY = std::min(minY, point.y);
        maxX = std::max(maxX, point.x);
        maxY = std::max(maxY, point.y);
    }
    void Include(const GeoRect& other) {
        if (other.IsEmpty()) return;
        Include(GeoPoint{other.minX, other.minY});
        Include(GeoPoint{other.maxX, other.maxY});
    }
    bool Intersects(const GeoRect& other) const {
        return !IsEmpty() && !other.IsEmpty() && minX <= other.maxX && other.minX <= maxX &&
               minY <= other.maxY && other.minY <= maxY;
    }
    void Offset(double dx, double dy) {
        minX += dx;
        maxX += dx;
        minY += dy;
        maxY += dy;
    }
};

}  // namespace vexa
