#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "link/model/link_update.h"
#include "receiver/binary/records.h"
#include "views/model_readers.h"
#include "views/satellite_label.h"

class QLabel;

namespace vexa {

class CSignalBar;
struct ReceiverContext;

// Milliseconds of the steady clock (std::chrono::steady_clock).
using TickSource = std::function<std::int64_t()>;
std::int64_t SteadyTicks();

// The "Signal" page: one bar per tracking channel with the satellite's number and average C/N0,
// the last time to first fix, and the fix status colour that the tabs are painted in. A receiver of
// many systems fills the twelve places with the satellites used in the fix, then the strongest.
class CSignalView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTtff = 1060;
    static constexpr int kFirstNumber = 1061;
    static constexpr int kFirstStrength = 1073;
    static constexpr int kFirstBar = 1085;
    static constexpr std::int64_t kFixLostAfterMs = 3000;

    CSignalView(ReceiverContext& context, ModelReader read, QWidget* parent = nullptr, TickSource ticks = {});

    void OnInitialUpdate();
    void OnUpdate(const LinkUpdate& update);

    // Green with a fix, yellow once the fix is 3 s old, blue while tracking, red otherwise.
    QColor FixStatusColour() const { return fixStatusColour_; }

    QLabel* TtffLabel() const { return ttff_; }
    QLabel* NumberLabel(int row) const { return numbers_[row]; }
    QLabel* StrengthLabel(int row) const { return strengths_[row]; }
    CSignalBar* Bar(int row) const { return bars_[row]; }

signals:
    // The tab host repaints its tabs in the new colour.
    void FixStatusColourChanged(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Shows every channel, or for a receiver of many systems its twelve chosen satellites; gives the fix
    // status they make.
    QColor ShowChannels(const ModelSnapshot& snapshot);
    QColor ShowSky(const GnssSky& sky, const GnssFix* fix);
    // Fills the twelve places; whether one of them is tracked but not used.
    bool ShowPlaces(const std::vector<SkySatellite>& satellites, const GnssFix* fix, double pixelsPerUnit);
    void ClearPlace(int place);

    ReceiverContext& context_;
    ModelReader read_;
    TickSource ticks_;
    QFont font_;
    SatelliteBoxLabels boxLabels_;
    QLabel* ttff_;
    QLabel* numbers_[kTrackChannels] = {};
    QLabel* strengths_[kTrackChannels] = {};
    CSignalBar* bars_[kTrackChannels] = {};
    QColor fixStatusColour_;
    std::int64_t lastFixTick_ = 0;
    // What the places show of a receiver of many systems (a fix and a sky of one epoch come as two
    // updates): the same satellites, fix quality and scale are not shown again.
    struct ShownSky {
        std::vector<SkySatellite> places;
        std::optional<FixQuality> quality;
        double pixelsPerUnit = 0;
        bool operator==(const ShownSky& other) const;
    };
    std::optional<ShownSky> shownSky_;
    bool skyTracking_ = false;
};

}  // namespace vexa
