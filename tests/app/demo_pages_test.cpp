#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>

#include "../views/page_test_support.h"
#include "app/command_dialogs.h"
#include "app/demo_tab_view.h"
#include "app/elevation_mask_dialog.h"
#include "receiver/binary/message_ids.h"
#include "sim/geodesy.h"
#include "ui_fixture.h"
#include "views/debug_data_view.h"
#include "views/graphic/plot_view.h"
#include "views/graphic/view_map.h"
#include "views/graphic/view_sct.h"
#include "views/graphic/view_sky.h"
#include "views/nav_msg_view.h"
#include "views/page_palette.h"
#include "views/pref_map_page.h"
#include "views/preferences_sheet.h"
#include "views/signal_view.h"
#include "views/tab_strip.h"

namespace vexa::test {
namespace {

const QString kSampleGeoset = QStringLiteral(VEXA_SOURCE_DIR "/res/maps/VexaDemoPPC_Maps/VexaDemoPPC.gst");

class DemoPages : public UiFixture {
protected:
    CDemoTabView* Tabs() const { return frame->TabHost(); }
    template <typename Page>
    Page* PageAt(int index) const { return qobject_cast<Page*>(Tabs()->GetView(index)); }
    void Click(int index) { emit Tabs()->Tabs()->ItemClicked(index); }

    // A 3D fix moving north at 10 m/s, announced as the link does.
    void DeliverFix() {
        const NavData nav = testing_support::NavOnEquator(0x04, 100.0, 10.0);
        comm->DeliverMessage(2, reinterpret_cast<const std::uint8_t*>(&nav), sizeof nav);
        doc.UpdateAllViews(MessageDelivered{MessageId::NavData});
    }
    // A navigation record as the receiver sends it while it has no fix yet.
    void DeliverSearching() {
        const NavData nav{};
        comm->DeliverMessage(2, reinterpret_cast<const std::uint8_t*>(&nav), sizeof nav);
        doc.UpdateAllViews(MessageDelivered{MessageId::NavData});
    }
    // A 3D fix at a place.
    void DeliverFixAt(double latitude, double longitude) {
        const sim::Vector3 ecef = sim::GeodeticToEcef({latitude, longitude, 30.0});
        NavData nav{};
        nav.X = static_cast<std::int32_t>(std::lround(ecef.x));
        nav.Y = static_cast<std::int32_t>(std::lround(ecef.y));
        nav.Z = static_cast<std::int32_t>(std::lround(ecef.z));
        nav.Mode1 = 0x04;
        comm->DeliverMessage(2, reinterpret_cast<const std::uint8_t*>(&nav), sizeof nav);
        doc.UpdateAllViews(MessageDelivered{MessageId::NavData});
    }
};

TEST_F(DemoPages, EveryTabHoldsItsPageAndANavigationUpdateReachesThem) {
    BuildFrame();
    frame->show();
    EXPECT_TRUE(PageAt<CNavMsgView>(CDemoTabView::kPosition));
    EXPECT_TRUE(PageAt<CSignalView>(CDemoTabView::kSignal));
    EXPECT_TRUE(PageAt<CViewSky>(CDemoTabView::kSky));
    EXPECT_TRUE(PageAt<CViewSct>(CDemoTabView::kPlot));
    EXPECT_TRUE(PageAt<CViewMap>(CDemoTabView::kMap));
    EXPECT_TRUE(PageAt<CDebugDataView>(CDemoTabView::kText));

    receiver.LinkProtocol = kBinaryProtocol;
    DeliverFix();
    EXPECT_EQ(PageAt<CNavMsgView>(CDemoTabView::kPosition)->Text(1042), "10.0 m/s");
    EXPECT_EQ(PageAt<CNavMsgView>(CDemoTabView::kPosition)->Text(1047), "3D");
    // The signal page's fix status reaches the colour the tabs are painted in.
    EXPECT_EQ(ui->FixStatusColour.name(), kPaletteGreen.name());
}

TEST_F(DemoPages, WithoutALinkEveryPageTakesUpdatesAndShowsNothing) {
    BuildFrame(false);
    receiver.LinkProtocol = kBinaryProtocol;
    for (int page = CDemoTabView::kPosition; page <= CDemoTabView::kPlot; ++page) {
        Tabs()->SelectTab(page);
        doc.UpdateAllViews(MessageDelivered{MessageId::NavData});
        ProcessEvents();
    }
    EXPECT_TRUE(PageAt<CNavMsgView>(CDemoTabView::kPosition)->Text(1042).isEmpty());
    EXPECT_EQ(ui->FixStatusColour.name(), kPaletteRed.name());
}

TEST_F(DemoPages, LoadMapMakesTheMapTabSelectable) {
    BuildFrame();
    frame->show();
    prompts.fileAnswers.push_back(kSampleGeoset);
    frame->RunCommand(CMainFrame::kLoadMap);
    ASSERT_TRUE(PageAt<CViewMap>(CDemoTabView::kMap)->CartexView()->MapLoaded());

    Click(CDemoTabView::kMap);
    EXPECT_EQ(Tabs()->CurrentIndex(), CDemoTabView::kMap);
    EXPECT_FALSE(Tabs()->GetView(CDemoTabView::kMap)->isHidden());
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(DemoPages, RecordsBeforeTheFirstFixReachNeitherThePlotNorTheMap) {
    BuildFrame();
    frame->show();
    prompts.fileAnswers.push_back(kSampleGeoset);
    frame->RunCommand(CMainFrame::kLoadMap);
    CCartexView* map = PageAt<CViewMap>(CDemoTabView::kMap)->CartexView();
    ASSERT_TRUE(map->MapLoaded());
    const CMapView* plot = PageAt<CViewSct>(CDemoTabView::kPlot)->Plot();
    const GeoRect view = map->Control()->Bounds();
    const auto marker = [map] { return map->PositionLayer()->Features().front().bounds.Center(); };
    const GeoPoint markerAtLoad = marker();

    receiver.LinkProtocol = kBinaryProtocol;
    for (int second = 0; second < 3; ++second) DeliverSearching();
    EXPECT_EQ(plot->HistoryCount(), 0);
    EXPECT_EQ(settings.m_dOriginLat, 0.0);
    EXPECT_EQ(settings.m_dOriginLon, 0.0);
    EXPECT_EQ(marker().x, markerAtLoad.x);
    EXPECT_EQ(marker().y, markerAtLoad.y);
    EXPECT_EQ(map->Control()->Bounds().minY, view.minY) << "the map must not pan towards the pole";

    const GeoPoint centre = view.Center();
    DeliverFixAt(centre.y + 0.0005, centre.x - 0.0005);
    EXPECT_EQ(plot->HistoryCount(), 1);
    EXPECT_NEAR(settings.m_dOriginLat, centre.y + 0.0005, 1e-5);
    EXPECT_NEAR(settings.m_dOriginLon, centre.x - 0.0005, 1e-5);
    EXPECT_NEAR(marker().y, centre.y + 0.0005, 1e-5);
    EXPECT_NEAR(marker().x, centre.x - 0.0005, 1e-5);
    EXPECT_EQ(map->Control()->Bounds().minY, view.minY);

    // Losing the fix again leaves the track and the marker where the last fix put them.
    DeliverSearching();
    EXPECT_EQ(plot->HistoryCount(), 1);
    EXPECT_NEAR(marker().y, centre.y + 0.0005, 1e-5);
}

// An origin that is no place on the earth is refused where it is typed, and the sheet stays open
// for the user to put it right.
TEST_F(DemoPages, ThePlotOriginTakesOnlyPlacesOnTheEarth) {
    BuildFrame();
    frame->show();
    ClickTab(CDemoTabView::kPlot);
    ASSERT_EQ(Tabs()->CurrentIndex(), CDemoTabView::kPlot);
    const QString latitudeRange = QStringLiteral("Please enter a latitude between -90 and 90.");
    const QString longitudeRange = QStringLiteral("Please enter a longitude between -180 and 180.");
    struct Case {
        int field;
        const char* typed;
        const QString& refusal;
    } cases[] = {
        {1021, "nan", latitudeRange},  {1021, "-inf", latitudeRange},  {1021, "90.001", latitudeRange},
        {1022, "inf", longitudeRange}, {1022, "NaN", longitudeRange},  {1022, "-180.5", longitudeRange},
    };
    answerDialog = [&](QDialog& dialog) {
        auto& sheet = static_cast<CPreferencesSheet&>(dialog);
        sheet.show();
        auto* page = static_cast<CPrefMapPage*>(sheet.Page());
        QPushButton* ok = sheet.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        for (const Case& c : cases) {
            prompts.messages.clear();
            TypeInto(page->Field(c.field), QString::fromLatin1(c.typed));
            QTest::mouseClick(ok, Qt::LeftButton);
            EXPECT_TRUE(sheet.isVisible()) << c.typed;
            EXPECT_EQ(prompts.messages, QStringList{c.refusal}) << c.typed;
            TypeInto(page->Field(c.field), QStringLiteral("0"));
        }
        TypeInto(page->Field(1021), QStringLiteral("-90"));
        TypeInto(page->Field(1022), QStringLiteral("180"));
        QTest::mouseClick(ok, Qt::LeftButton);
        return sheet.result();
    };
    QTest::mouseClick(PageAt<CViewSct>(CDemoTabView::kPlot)->findChild<QPushButton*>(QStringLiteral("1030")),
                      Qt::LeftButton);
    EXPECT_EQ(settings.m_dOriginLat, -90.0);
    EXPECT_EQ(settings.m_dOriginLon, 180.0);
}

TEST_F(DemoPages, TheElevationMaskDialogIsKeptAndShowsTheLastConfirmedMask) {
    InstallCommandHooks(*ui);
    BuildFrame();
    QDialog* first = nullptr;
    answerDialog = [&first](QDialog& dialog) {
        first = &dialog;
        auto& mask = static_cast<CElevationMaskDlg&>(dialog);
        mask.OnInitDialog();
        mask.NavigationField()->setText(QStringLiteral("12.5"));
        mask.accept();
        return mask.result();
    };
    frame->RunCommand(CMainFrame::kElevationMask);
    ASSERT_TRUE(first);

    QString shown;
    answerDialog = [&](QDialog& dialog) {
        EXPECT_EQ(&dialog, first);
        auto& mask = static_cast<CElevationMaskDlg&>(dialog);
        mask.OnInitDialog();
        shown = mask.NavigationField()->text();
        return int{QDialog::Rejected};
    };
    frame->RunCommand(CMainFrame::kElevationMask);
    EXPECT_EQ(shown.toDouble(), 12.5);
}

}  // namespace
}  // namespace vexa::test
