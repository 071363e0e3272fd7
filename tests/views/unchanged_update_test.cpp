// An update that brings what the pages already show repaints none of their widgets.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>

#include "page_test_support.h"
#include "receiver/product/receiver_context.h"
#include "uicore/display_preferences.h"
#include "views/graphic/view_sct.h"
#include "views/graphic/view_sky.h"
#include "views/nav_msg_view.h"
#include "views/scaled_view.h"
#include "views/signal_view.h"
#include "views/tab_view.h"

namespace vexa {
namespace {

// Counts the paints of the widgets it watches, by name.
struct PaintCounter : QObject {
    QStringList painted;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted << QStringLiteral("%1 %2").arg(watched->metaObject()->className(), watched->objectName());
        return false;
    }
};

void SettlePaints() {
    for (int round = 0; round < 5; ++round) QCoreApplication::processEvents();
}

SkySatellite Satellite(GnssId gnss, std::uint16_t svid, double elevation, std::optional<double> cn0, bool used) {
    SkySatellite satellite;
    satellite.id = {gnss, svid};
    satellite.elevation = elevation;
    satellite.azimuth = 40 * svid % 360;
    satellite.cn0 = cn0;
    satellite.used = used;
    return satellite;
}

TEST(UnchangedUpdate, RepaintsNoWidgetOfAnyPage) {
    ReceiverContext context;
    context.LinkProtocol = kNmeaProtocol;
    AppSettings settings;
    testing_support::MemorySections store{settings};
    testing_support::MessagePrompts prompts;
    DisplayPreferences preferences{settings, store, prompts};
    ModelSnapshot snapshot;
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
    auto tellEveryPage = [&] {
        for (const LinkUpdate& update : {LinkUpdate{MessageDelivered{MessageId::DevelopmentText}}, LinkUpdate{FixUpdated{}},
                                         LinkUpdate{SkyUpdated{}}}) {
            position->OnUpdate(update);
            signal->OnUpdate(update);
            sky->OnUpdate(update);
            plot->OnUpdate(update);
        }
        SettlePaints();
    };

    GnssFix located;
    located.mode = FixMode::ThreeD;
    located.latitude = 37.3875;
    located.longitude = -121.972;
    located.hdop = 0.9;
    located.used = {{GnssId::Gps, 3}};
    located.satellitesUsed = 1;
    const struct {
        const char* state;
        std::optional<GnssFix> fix;
        std::vector<SkySatellite> satellites;
    } states[] = {
        {"no fix, empty places, a satellite unheard", std::nullopt,
         {Satellite(GnssId::Gps, 3, 40, 41, false), Satellite(GnssId::Galileo, 8, 20, std::nullopt, false)}},
        {"a fix", located, {Satellite(GnssId::Gps, 3, 40, 41, true), Satellite(GnssId::BeiDou, 21, 60, 35, false)}},
    };
    for (const auto& state : states) {
        snapshot.fix = state.fix;
        snapshot.sky = GnssSky{};
        snapshot.sky->satellites = state.satellites;
        tellEveryPage();
        PaintCounter counter;
        for (QWidget* widget : host->findChildren<QWidget*>()) widget->installEventFilter(&counter);
        tellEveryPage();
        EXPECT_TRUE(counter.painted.isEmpty()) << state.state << ": " << counter.painted.join(", ").toStdString();
    }
}

}  // namespace
}  // namespace vexa
