#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <cmath>

#include "page_test_support.h"
#include "receiver/product/receiver_context.h"
#include "uicore/display_preferences.h"
#include "views/graphic/radar_view.h"
#include "views/graphic/view_sct.h"
#include "views/graphic/view_sky.h"
#include "views/nav_msg_view.h"
#include "views/scaled_view.h"
#include "views/signal_view.h"
#include "views/tab_view.h"

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

// Paints come from posted events that post more: a few rounds deliver them all.
void SettlePaints() {
    for (int round = 0; round < 5; ++round) QCoreApplication::processEvents();
}

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

// Every page shown at once, side by side at a fractional scale; the Sky page is told of a new sky
// again and again: its neighbours, the Position and Plot pages, are not painted again.
TEST(AllPages, APageWhoseDataDidNotChangeIsNotPainted) {
    ReceiverContext context;
    context.LinkProtocol = kNmeaProtocol;
    AppSettings settings;
    testing_support::MemorySections store{settings};
    testing_support::MessagePrompts prompts;
    DisplayPreferences preferences{settings, store, prompts};
    ModelSnapshot snapshot = SkyOfTwelve(0);
    ModelReader read = [&snapshot] { return snapshot; };
    std::optional<GeodeticFix> fix = GeodeticFix{37.3875, -121.972, 20.0};
    auto* host = new CTabView;
    host->setFixedSize(240, 268);
    auto* position = new CNavMsgView(context, read, preferences);
    auto* signal = new CSignalView(context, read);
    auto* sky = new CViewSky(read);
    auto* plot = new CViewSct(preferences, [&fix] { return fix; });
    for (QWidget* page : std::initializer_list<QWidget*>{position, signal, sky, plot}) host->AddView(QStringLiteral("Page"), page);
    position->OnInitialUpdate();
    signal->OnInitialUpdate();
    sky->OnInitialUpdate();
    plot->OnInitialUpdate();
    ScaledView view(host);
    host->ShowAll(2);
    view.resize(1000, 1080);
    view.show();
    SettlePaints();
    ASSERT_NE(view.Scale(), std::round(view.Scale()));

    PaintCounter positionPaints, skyPaints, plotPaints;
    position->installEventFilter(&positionPaints);
    sky->Plot()->installEventFilter(&skyPaints);
    plot->installEventFilter(&plotPaints);
    for (int turn = 1; turn <= 5; ++turn) {
        snapshot = SkyOfTwelve(turn);
        sky->OnUpdate(SkyUpdated{});
        position->OnUpdate(SkyUpdated{});
        plot->OnUpdate(SkyUpdated{});
        SettlePaints();
    }
    EXPECT_EQ(skyPaints.paints, 5);
    EXPECT_EQ(positionPaints.paints, 0);
    EXPECT_EQ(plotPaints.paints, 0);
}

}  // namespace
}  // namespace vexa
