#pragma once

#include <QFrame>
#include <QImage>
#include <optional>
#include <vector>

#include "link/model/link_update.h"
#include "views/graphic/sky_plot.h"
#include "views/model_readers.h"

namespace vexa {

class CViewSky;

// The sky plot: drawn off screen at the screen's resolution when what it shows changed (a marker,
// colour or label, its size or scale), over a kept background of its size and scale, and copied to
// the window in one block; an update that changes nothing on it repaints nothing. The drawing also
// fills the channel boxes of its page. Without tracker data it stays a black square. Hovering a
// satellite tells what it is.
class CRadarView : public QFrame {
    Q_OBJECT
public:
    CRadarView(CViewSky* page, ModelReader read, QWidget* parent);

    void OnUpdate(const LinkUpdate& update);
    // Sets the page's boxes from the current tracker data, as the paint does.
    void FillBoxes();
    // Draws the plot again from the model at the next paint.
    void Redraw();
    const SkyGeometry& Geometry() const { return geometry_; }
    // The satellites of the last paint, in the plot's page units.
    const std::vector<SkyMarker>& Markers() const { return markers_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void ShowBoxes(const ModelSnapshot& snapshot);
    void DrawImage();

    CViewSky* page_;
    ModelReader read_;
    SkyGeometry geometry_;
    QImage image_;
    SkyBoxTexts boxes_;
    std::vector<SkyMarker> markers_;
    // The size and zoom of the last paint; empty when the plot is to be composed anew from the model.
    struct Drawn {
        QSize size;
        double zoom = 1;
        bool operator==(const Drawn&) const = default;
    };
    std::optional<Drawn> drawnFor_;
    SkyPicture picture_;      // what the plot shows
    bool imageStale_ = true;  // picture_ changed since image_ was drawn
    // The background under the markers, and the side, zoom and compass it was drawn for.
    struct Background {
        int side = 0;
        double zoom = 1;
        bool compass = false;
        bool operator==(const Background&) const = default;
    };
    QImage background_;
    std::optional<Background> backgroundFor_;
};

}  // namespace vexa
