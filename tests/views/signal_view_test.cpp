#include <gtest/gtest.h>

#include <QLabel>

#include "page_test_support.h"
#include "receiver/product/receiver_context.h"
#include "uicore/feed_doc.h"
#include "views/page_palette.h"
#include "views/satellite_colour.h"
#include "views/signal_bar.h"
#include "views/signal_view.h"

namespace vexa {
namespace {

using testing_support::ColourAt;
using testing_support::Render;

TrackChannel Channel(std::uint8_t prn, std::uint16_t state, std::uint8_t firstSample = 40) {
    TrackChannel channel{};
    channel.Prn = prn;
    channel.State = state;
    for (std::size_t i = 0; i < kCn0Samples; ++i) channel.Cn0[i] = static_cast<std::uint8_t>(firstSample + i);
    return channel;
}

TEST(SatelliteColour, FirstMatchingRuleWins) {
    NavData nav{};
    nav.SvCount = 2;
    nav.SvPrn[0] = 9;
    nav.SvPrn[1] = 122;
    nav.SvPrn[2] = 14;  // beyond the count: not used in the fix
    struct Case {
        std::uint8_t prn;
        std::uint16_t state;
        std::uint8_t mode1;
        QString colour;
    } cases[] = {
        {9, 0x00, 0x00, kPaletteGreen.name()},   {122, 0x33, 0x80, kPaletteGreen.name()},
        {14, 0x01, 0x00, kPaletteBlue.name()},   {14, 0x00, 0x00, kPaletteRed.name()},
        {130, 0x00, 0x80, kPaletteCyan.name()},  {130, 0x20, 0x00, kPaletteBlue.name()},
        {130, 0x00, 0x00, kPaletteRed.name()},   {99, 0x00, 0x80, kPaletteRed.name()},
        {15, 0x10, 0x00, kPaletteBlue.name()},   {15, 0x0C, 0x00, kPaletteRed.name()},
    };
    for (const Case& c : cases) {
        nav.Mode1 = c.mode1;
        EXPECT_EQ(SatelliteColour(Channel(c.prn, c.state), &nav).name(), c.colour) << int(c.prn);
    }
    nav.SvCount = 255;  // a count beyond the list reads no further than its twelve places
    EXPECT_EQ(SatelliteColour(Channel(14, 0), &nav).name(), kPaletteGreen.name());
    EXPECT_EQ(SatelliteColour(Channel(14, 0x02), nullptr).name(), kPaletteBlue.name());
}

TEST(SignalBar, HeightIsTheShareOfTheRangeClampedToIt) {
    CSignalBar bar;
    bar.setGeometry(0, 0, 16, 147);
    bar.SetRange(10, 50);
    bar.SetColour(kPaletteGreen);
    struct Case {
        int position;
        int stored;
        int height;
    } cases[] = {{44, 44, 124}, {10, 10, 0}, {5, 10, 0}, {0, 10, 0}, {50, 50, 147}, {77, 50, 147}};
    for (const Case& c : cases) {
        bar.SetPos(c.position);
        EXPECT_EQ(bar.Pos(), c.stored);
        EXPECT_EQ(bar.BarHeight(), c.height) << c.position;
    }
    bar.SetPos(44);
    const QImage image = Render(bar);
    EXPECT_EQ(ColourAt(image, 8, 147 - 124), kPaletteGreen.name());
    EXPECT_EQ(ColourAt(image, 8, 147 - 125), "#000000");
    EXPECT_EQ(bar.SetPos(20), 44);
}

class SignalPage : public testing::Test {
protected:
    SignalPage() {
        context.LinkProtocol = kBinaryProtocol;
        view.resize(238, 250);
        view.OnInitialUpdate();
        snapshot.track = TrackData{};
        snapshot.nav = NavData{};
    }
    QString Status() const { return view.FixStatusColour().name(); }

    ReceiverContext context;
    ModelSnapshot snapshot;
    std::int64_t now = 100000;
    CSignalView view{context, [this] { return snapshot; }, nullptr, [this] { return now; }};
};

TEST_F(SignalPage, GreyFillsThePageAtTheSizeTheHostGivesItLater) {
    view.resize(238, 300);
    EXPECT_EQ(view.grab().toImage().pixelColor(2, 297).name(), kPaletteLightGrey.name());
}

TEST_F(SignalPage, RowsShowNumberAverageAndColouredBar) {
    snapshot.track->Channels[0] = Channel(7, 0x33);
    snapshot.track->Channels[1] = Channel(122, 0x00, 2);   // average 6, below the range
    snapshot.track->Channels[2] = Channel(12, 0x00, 60);   // average 64, above it
    view.OnUpdate(MessageDelivered{MessageId::NavData});
    EXPECT_EQ(view.NumberLabel(0)->text(), "7");
    EXPECT_EQ(view.StrengthLabel(0)->text(), "44");
    EXPECT_EQ(view.Bar(0)->Pos(), 44);
    EXPECT_EQ(view.Bar(0)->Colour().name(), kPaletteBlue.name());
    EXPECT_EQ(view.StrengthLabel(1)->text(), "6");
    EXPECT_EQ(view.Bar(1)->BarHeight(), 0);
    EXPECT_EQ(view.StrengthLabel(2)->text(), "64");
    EXPECT_EQ(view.Bar(2)->BarHeight(), 147);
    EXPECT_EQ(view.Bar(2)->Colour().name(), kPaletteRed.name());

    snapshot.track->Channels[0].Prn = 0;  // the channel goes idle
    view.OnUpdate(MessageDelivered{MessageId::NavData});
    EXPECT_TRUE(view.NumberLabel(0)->text().isEmpty());
    EXPECT_TRUE(view.StrengthLabel(0)->text().isEmpty());
    EXPECT_EQ(view.Bar(0)->BarHeight(), 0);
}

TEST_F(SignalPage, OtherNotificationsKeepTheBarsAndOnlyRefreshTheTtff) {
    snapshot.track->Channels[3] = Channel(21, 0x01);
    view.OnUpdate(MessageDelivered{MessageId::NavData});
    snapshot.track->Channels[3].Prn = 0;
    context.Ttff.set("TTFF: 31.2 s");
    view.OnUpdate(MessageDelivered{MessageId::DevelopmentText});
    EXPECT_EQ(view.TtffLabel()->text(), "TTFF: 31.2 s");
    EXPECT_FALSE(context.Ttff.changed());
    EXPECT_EQ(view.NumberLabel(3)->text(), "21");
    context.Ttff.set("");  // a reset forgets it
    view.OnUpdate(MessageDelivered{MessageId::TrackData});
    EXPECT_TRUE(view.TtffLabel()->text().isEmpty());
}

// After a connection or a reset the field counts the seconds, then holds the measured time of the
// first fix; a report from the receiver wins over the count and the measurement.
TEST_F(SignalPage, TimeToFirstFixCountsUpUntilTheFirstFix) {
    using namespace std::chrono;
    const auto at = [](std::int64_t ms) { return SteadyTime(milliseconds(ms)); };
    context.TtffCounter.start(at(now));
    now += 999;
    view.OnUpdate(ClockTick{});
    EXPECT_EQ(view.TtffLabel()->text(), "0 sec");
    now += 1;
    view.OnUpdate(ClockTick{});
    EXPECT_EQ(view.TtffLabel()->text(), "1 sec");
    now += 41000;
    view.OnUpdate(MessageDelivered{MessageId::NavData});  // only the second's update counts
    EXPECT_EQ(view.TtffLabel()->text(), "1 sec");
    view.OnUpdate(ClockTick{});
    EXPECT_EQ(view.TtffLabel()->text(), "42 sec");

    context.Ttff.set(*context.TtffCounter.fixed(at(now + 300)), TtffSource::Program);
    now += 5000;
    view.OnUpdate(ClockTick{});
    EXPECT_EQ(view.TtffLabel()->text(), "42.3 sec");

    context.Ttff.set("");  // a reset command
    context.TtffCounter.start(at(now));
    now += 3000;
    view.OnUpdate(ClockTick{});
    EXPECT_EQ(view.TtffLabel()->text(), "3 sec");
    context.Ttff.set("12.5 sec");  // the receiver's own report
    context.TtffCounter.receiverReported();
    EXPECT_FALSE(context.TtffCounter.fixed(at(now + 1000)));
    now += 4000;
    view.OnUpdate(ClockTick{});
    EXPECT_EQ(view.TtffLabel()->text(), "12.5 sec");
}

TEST_F(SignalPage, FixStatusFollowsFixesTrackingAndTime) {
    QStringList changes;
    QObject::connect(&view, &CSignalView::FixStatusColourChanged,
                     [&changes](const QColor& colour) { changes.append(colour.name()); });
    EXPECT_EQ(Status(), kPaletteRed.name());

    snapshot.track->Channels[0] = Channel(3, 0x02);
    view.OnUpdate(MessageDelivered{MessageId::NavData});
    EXPECT_EQ(Status(), kPaletteBlue.name());

    snapshot.nav->Mode1 = 4;
    view.OnUpdate(MessageDelivered{MessageId::NavData});
    EXPECT_EQ(Status(), kPaletteGreen.name());

    now += 2999;
    view.OnUpdate(MessageDelivered{MessageId::TrackData});
    EXPECT_EQ(Status(), kPaletteGreen.name());
    now += 1;
    view.OnUpdate(MessageDelivered{MessageId::TrackData});
    EXPECT_EQ(Status(), kPaletteYellow.name());

    snapshot.nav->Mode1 = 0;
    snapshot.track->Channels[0].State = 0;
    view.OnUpdate(MessageDelivered{MessageId::NavData});
    EXPECT_EQ(Status(), kPaletteRed.name());
    now += 10000;
    view.OnUpdate(MessageDelivered{MessageId::TrackData});  // only a lost fix turns yellow
    EXPECT_EQ(Status(), kPaletteRed.name());
    EXPECT_EQ(changes, (QStringList{kPaletteBlue.name(), kPaletteGreen.name(), kPaletteYellow.name(),
                                    kPaletteRed.name()}));
}

// An NMEA receiver that sends no GSV, or the first fix after a switch from binary, has no satellite
// list: the places empty, and the status still follows the fix.
TEST_F(SignalPage, AnNmeaFixWithoutASatelliteListSetsTheStatus) {
    snapshot.track->Channels[0] = Channel(3, 0x02);
    view.OnUpdate(MessageDelivered{MessageId::NavData});
    context.LinkProtocol = kNmeaProtocol;
    snapshot = {};
    snapshot.fix = GnssFix{};
    snapshot.fix->mode = FixMode::ThreeD;
    snapshot.fix->latitude = 48.1;
    snapshot.fix->longitude = 11.6;
    view.OnUpdate(FixUpdated{});
    EXPECT_EQ(Status(), kPaletteGreen.name());
    EXPECT_TRUE(view.NumberLabel(0)->text().isEmpty());
    EXPECT_EQ(view.Bar(0)->Pos(), 10) << "the bar's floor";
    now += CSignalView::kFixLostAfterMs;
    view.OnUpdate(ClockTick{});
    EXPECT_EQ(Status(), kPaletteYellow.name());
    snapshot.fix->mode = FixMode::NoFix;
    view.OnUpdate(FixUpdated{});
    EXPECT_EQ(Status(), kPaletteRed.name());
}

TEST_F(SignalPage, WithoutRecordsEveryRowEmptiesAndTheStatusIsRed) {
    snapshot.track->Channels[0] = Channel(3, 0x02);
    snapshot.nav->Mode1 = 4;
    view.OnUpdate(MessageDelivered{MessageId::NavData});
    snapshot = {};
    view.OnUpdate(MessageDelivered{MessageId::NavData});
    EXPECT_TRUE(view.NumberLabel(0)->text().isEmpty());
    EXPECT_EQ(Status(), kPaletteRed.name());
}

}  // namespace
}  // namespace vexa
