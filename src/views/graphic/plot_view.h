#pragma once

#include <QFrame>
#include <QImage>
#include <QPoint>
#include <array>
#include <vector>

#include "uicore/app_settings.h"
#include "views/graphic/geodetic_fix.h"

namespace vexa {

class SettingsSections;

// The plot of the "Plot" page: a 160 x 160 image with a frame, a cross-hair and three range
// rings around the origin, the latest eight fixes as fading dots and the older ones left behind in
// the oldest colour, shown centred above the rings' caption. A fix enters the plot once per
// navigation update; paints only show the image. Shown larger than its page size, the plot is
// drawn again at the screen's resolution, so its lines and dots stay sharp.
class CMapView : public QFrame {
    Q_OBJECT
public:
    static constexpr int kPlotSize = 160;
    static constexpr int kHistorySize = 8;

    CMapView(AppSettings& settings, SettingsSections& store, GeodeticFixReader readFix, QWidget* parent);

    void OnInitialUpdate();
    // Hint 2: the current fix enters the plot (becoming the origin when none is set).
    void OnUpdate(const LinkUpdate& update);

    // Origin and radii from the settings; a new image. The history is kept.
    void Rebuild();
    // Stores the origin, empties the history and rebuilds.
    void SetOrigin(double latitude, double longitude);

    const QImage& PlotImage() const { return image_; }
    double Scale() const { return scale_; }
    // The pixel position of a fix under the current origin and scale, clamped to the plot.
    QPoint Project(const GeodeticFix& fix) const;
    int HistoryCount() const { return count_; }
    // Top-left corner of the image in the client area.
    QPoint ImageOrigin() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // A dot of the history as drawn: where, and its place in the fading colours.
    struct Dot {
        QPoint point;
        int colour = 0;
        bool operator==(const Dot&) const = default;
    };
    // Returns whether the image changed.
    bool AddFix(const GeodeticFix& fix);
    void DrawBackground(QPainter& painter) const;
    std::vector<Dot> VisibleDots() const;
    void DrawHistory(QPainter& painter) const;
    bool DrawHistory();
    void DrawZoomed(double zoom);

    AppSettings& settings_;
    SettingsSections& store_;
    GeodeticFixReader readFix_;
    double originLat_ = 0.0;
    double originLon_ = 0.0;
    std::array<int, 3> rings_{};
    QImage image_;
    double scale_ = 0.0;
    std::array<QPoint, kHistorySize> history_{};
    int nextSlot_ = 0;
    int count_ = 0;
    // The dots that left the history after being drawn on the image, by plot pixel.
    std::vector<bool> trail_ = std::vector<bool>(kPlotSize * kPlotSize, false);
    bool historyDrawn_ = false;  // the history is on the image since it was last made
    std::vector<Dot> drawn_;     // the dots last drawn on the image
    QImage zoomed_;  // the image at `zoomedAt_` device pixels per page unit, when shown larger
    double zoomedAt_ = 1.0;
};

}  // namespace vexa
