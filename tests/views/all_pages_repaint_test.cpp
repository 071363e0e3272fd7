#include <gtest/gtest.h>

#include <QEvent>
#include <QPushButton>
#include <cmath>

#include "all_pages_rig.h"
#include "views/graphic/radar_view.h"

namespace vexa {
namespace {

// Counts the paints a page receives.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

ModelSnapshot SkyOfTwelve(int turn) {
    ModelSnapshot snapshot;
    snapshot.sky = GnssSky{};
    for (int i = 0; i < 12; ++i) {
        SkySatellite satellite;
        satellite.id = {i % 2 == 0 ? GnssId::Gps : GnssId::Galileo, static_cast<std::uint16_t>(1 + i)};
        satellite.elevation = 10.0 + 6 * i;
        satellite.azimuth = (30 * i + 7 * turn) % 360;
        satellite.cn0 = 30.0 + (i + turn) % 15;
        satellite.used = i % 3 == 0;
        snapshot.sky->satellites.push_back(satellite);
    }
    snapshot.fix = GnssFix{};
    return snapshot;
}

// Every page shown at once, two to a row at a fractional scale; the Signal and Sky pages, at opposite
// corners, are told of a new sky again and again: the pages between them, Position and Plot, and
// their titles are not painted again.
TEST(AllPages, APageWhoseDataDidNotChangeIsNotPainted) {
    testing_support::AllPagesRig rig(SkyOfTwelve(0));
    ASSERT_NE(rig.view->Scale(), std::round(rig.view->Scale()));

    PaintCounter positionPaints, signalPaints, skyPaints, plotPaints, titlePaints;
    rig.position->installEventFilter(&positionPaints);
    rig.signal->installEventFilter(&signalPaints);
    for (QWidget* child : rig.signal->findChildren<QWidget*>()) child->installEventFilter(&signalPaints);
    rig.sky->Plot()->installEventFilter(&skyPaints);
    rig.plot->installEventFilter(&plotPaints);
    for (int index : {0, 3}) rig.host->Title(index)->installEventFilter(&titlePaints);
    for (int turn = 1; turn <= 5; ++turn) {
        rig.snapshot = SkyOfTwelve(turn);
        rig.signal->OnUpdate(SkyUpdated{});
        rig.sky->OnUpdate(SkyUpdated{});
        rig.position->OnUpdate(SkyUpdated{});
        rig.plot->OnUpdate(SkyUpdated{});
        testing_support::SettlePaints();
    }
    EXPECT_EQ(skyPaints.paints, 5);
    EXPECT_GT(signalPaints.paints, 0);
    EXPECT_EQ(positionPaints.paints, 0);
    EXPECT_EQ(plotPaints.paints, 0);
    EXPECT_EQ(titlePaints.paints, 0);
}

}  // namespace
}  // namespace vexa
