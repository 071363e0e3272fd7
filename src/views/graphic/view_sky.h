#pragma once

#include <QFont>
#include <QLabel>
#include <QWidget>
#include <optional>

#include "link/model/link_update.h"
#include "views/graphic/sky_plot.h"
#include "views/model_readers.h"
#include "views/satellite_label.h"

namespace vexa {

class CRadarView;

// The "Sky" page: the sky plot above a row of boxes per tracking channel with the satellite's
// number, azimuth and elevation. A receiver of many systems has every satellite in view on the plot
// and the Signal page's twelve in the boxes.
class CViewSky : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFirstSatelliteBox = 1061;
    static constexpr int kFirstAzimuthBox = 1109;
    static constexpr int kFirstElevationBox = 1097;

    CViewSky(ModelReader read, QWidget* parent = nullptr);

    void OnInitialUpdate();
    void OnUpdate(const LinkUpdate& update);

    void SetBoxTexts(const SkyBoxTexts& texts);
    SkyChannelTexts BoxTexts(int channel) const;
    CRadarView* Plot() const { return plot_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont labelFont_;
    SatelliteBoxLabels boxLabels_;
    QLabel* satellite_[kTrackChannels] = {};
    QLabel* azimuth_[kTrackChannels] = {};
    QLabel* elevation_[kTrackChannels] = {};
    CRadarView* plot_;
    // What the boxes show, and the pixels per page unit their labels were fitted for.
    struct ShownBoxes {
        SkyBoxTexts texts;
        double pixelsPerUnit = 0;
        bool operator==(const ShownBoxes&) const = default;
    };
    std::optional<ShownBoxes> shown_;
};

}  // namespace vexa
