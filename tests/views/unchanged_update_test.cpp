// An update that brings what the pages already show repaints none of their widgets.
#include <gtest/gtest.h>

#include <QEvent>

#include "all_pages_rig.h"
#include "receiver/binary/message_ids.h"

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
    testing_support::AllPagesRig rig;
    auto tellEveryPage = [&] {
        for (const LinkUpdate& update : {LinkUpdate{MessageDelivered{MessageId::DevelopmentText}}, LinkUpdate{FixUpdated{}},
                                         LinkUpdate{SkyUpdated{}}}) {
            rig.position->OnUpdate(update);
            rig.signal->OnUpdate(update);
            rig.sky->OnUpdate(update);
            rig.plot->OnUpdate(update);
        }
        testing_support::SettlePaints();
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
        rig.snapshot.fix = state.fix;
        rig.snapshot.sky = GnssSky{};
        rig.snapshot.sky->satellites = state.satellites;
        tellEveryPage();
        PaintCounter counter;
        for (QWidget* page : std::initializer_list<QWidget*>{rig.position, rig.signal, rig.sky, rig.plot}) {
            page->installEventFilter(&counter);
            for (QWidget* widget : page->findChildren<QWidget*>()) widget->installEventFilter(&counter);
        }
        tellEveryPage();
        EXPECT_TRUE(counter.painted.isEmpty()) << state.state << ": " << counter.painted.join(", ").toStdString();
    }
}

}  // namespace
}  // namespace vexa
