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

// The sky plot: drawn off screen at the screen's resolution when its data, size or scale changed, and
// copied to the window in one block; the drawing also fills the channel boxes of its page. Without tracker data it stays a
// black square. Hovering a satellite tells what it is.
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
    CViewSky* page_;
    ModelReader read_;
    SkyGeometry geometry_;
    QImage image_;
    SkyBoxTexts boxes_;
    std::vector<SkyMarker> markers_;
    // What the image was last drawn for; empty when the data changed since.
    struct Drawn {
        QSize size;
        double zoom = 1;
        bool operator==(const Drawn&) const = default;
    };
    std::optional<Drawn> drawnFor_;
    bool plotShown_ = false;  // whether the last drawing had tracker data to show
};

}  // namespace vexa
