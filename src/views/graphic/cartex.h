#pragma once

#include <QPoint>
#include <QString>
#include <QWidget>
#include <optional>
#include <stdexcept>

#include "maps/layer_collection.h"
#include "maps/map_viewport.h"
#include "views/graphic/map_painter.h"

namespace vexa {

// A failure of the map control, with the control's own message for the user.
class MapControlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    QString Message() const { return QString::fromUtf8(what()); }
};

// The map control: shows the vector layers of a geoset, lets the user zoom and pan with the
// mouse tool chosen by its owner, and holds the layers its owner adds (a position marker).
// Coordinates are WGS-84 degrees, the zoom is the view's width in metres.
class CCartex : public QWidget {
    Q_OBJECT
public:
    static constexpr int kToolPan = 1001;
    static constexpr int kToolZoomIn = 1003;
    static constexpr int kToolZoomOut = 1004;

    explicit CCartex(QWidget* parent = nullptr);

    // Reads a geoset and shows it whole, or at the centre and zoom it names. Throws MapControlError
    // when the geoset or all of its layers cannot be read; the map shown before stays then.
    void SetGeoSet(const QString& path);
    QString GeoSet() const { return geoSet_; }
    // The layer files of the last geoset that could not be read (the rest is shown), as one
    // message listing the first few and counting the others; empty when every layer was read.
    QString LoadProblems() const { return loadProblems_; }

    double Zoom() const { return viewport_.ZoomMetres(); }
    void SetZoom(double metres);
    double CenterX() const { return viewport_.Center().x; }
    double CenterY() const { return viewport_.Center().y; }

    int CurrentTool() const { return tool_; }
    void SetCurrentTool(int tool) { tool_ = tool; }

    // The visible rectangle; assigning one moves the view to its centre and raises ViewChanged.
    GeoRect Bounds() const { return View().Bounds(); }
    void SetBounds(const GeoRect& rect);

    LayerCollection& Layers() { return layers_; }

    // Makes a feature for a client's layer; type 0, the only one, is a circle of a radius in
    // statute miles.
    VectorFeature CreateCircularRegion(int type, const GeoPoint& center, double radiusMiles,
                                       const RegionStyle& style) const;

    // The geoset's name drawn in the top left corner.
    void SetTitleVisible(bool visible);
    // With auto redraw every change of the view or the map repaints the control at once;
    // without, it waits for its owner's repaint.
    void SetAutoRedraw(bool autoRedraw) { autoRedraw_ = autoRedraw; }

signals:
    // The view was moved or zoomed by the user, or its rectangle assigned.
    void ViewChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The view at the widget's present size, which may have changed while it was hidden, before
    // any resize event.
    const MapViewport& View() const;
    void Changed();
    void ZoomAround(const QPoint& pixel, double factor);
    void ZoomToPixels(const QPoint& corner, const QPoint& oppositeCorner);

    mutable MapViewport viewport_;
    LayerCollection layers_;
    MapPainter painter_;
    QString geoSet_;
    QString title_;
    QString loadProblems_;
    int tool_ = kToolZoomIn;
    bool titleVisible_ = true;
    bool autoRedraw_ = false;
    std::optional<QPoint> pressedAt_;
    QPoint draggedTo_;
    MapViewport viewAtPress_;
};

}  // namespace vexa
