#pragma once

#include <QFrame>
#include <QString>
#include <functional>

#include "maps/layer_collection.h"
#include "maps/layer_style.h"
#include "maps/vector_layer.h"
#include "views/graphic/cartex.h"
#include "views/graphic/geodetic_fix.h"

namespace vexa {

class Prompts;

// Makes the map control as a child of the view, or gives nothing when it cannot.
using MapControlFactory = std::function<CCartex*(QWidget* parent)>;

// The map view of the "Map" page: hosts the map control, loads a geoset on request and keeps a
// position marker on the receiver's latest fix, moving the map along when the fix nears its edge.
// A bordered child like the plot: the control fills the area inside the border.
class CCartexView : public QFrame {
    Q_OBJECT
public:
    CCartexView(Prompts& prompts, GeodeticFixReader readFix, QWidget* parent = nullptr,
                const MapControlFactory& createControl = {});

    // "Load Map...": asks for a geoset and loads it with the position layer and marker.
    void LoadMap();
    // Loads the geoset at `path` without asking (the command line's --map).
    void LoadMapFile(const QString& path);
    // A document update: hint 2 (a navigation message) moves the marker.
    void OnUpdate(const LinkUpdate& update);

    CCartex* Control() const { return control_; }
    bool MapLoaded() const { return m_bMapLoaded; }
    // The zoom right after the last load; the view never shows more than this.
    double ZoomLimit() const { return zoomLimit_; }
    const LayerCollection::Handle& PositionLayer() const { return positionLayer_; }

    // Where the open dialog starts: the sample map folder when it can be found.
    static QString MapsFolder();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void LoadGeoset(const QString& path);
    void CreatePositionLayer();
    void OnMapViewChanged();
    void PlaceMarker();
    void Follow(GeoRect view);

    Prompts& prompts_;
    GeodeticFixReader readFix_;
    CCartex* control_ = nullptr;
    bool m_bMapLoaded = false;
    GeodeticFix lastPosition_;
    RegionStyle markerStyle_;
    VectorFeature markerFeature_;
    LayerCollection::Handle positionLayer_;
    double markerDistance_ = 0.0;
    GeoPoint markerPoint_;
    double zoomLimit_ = 0.0;
    bool placingMarker_ = false;
};

}  // namespace vexa
