#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include "page_test_support.h"
#include "receiver/product/receiver_context.h"
#include "uicore/display_preferences.h"
#include "views/display_sheets.h"
#include "views/nav_msg_view.h"
#include "views/nav_texts.h"
#include "views/page_palette.h"
#include "views/pref_units_page.h"
#include "views/preferences_sheet.h"

namespace vexa {
namespace {

using testing_support::MemorySections;
using testing_support::NavOnEquator;

const QString kDegree = QString(QChar(0x00B0));

TEST(NavTexts, CoordinatesInBothFormats) {
    struct Case {
        double degrees;
        int format;
        QString text;
    } cases[] = {
        {-33.5, 1, " -33" + kDegree + " 30.000'"},
        {-0.5, 1, "  -0" + kDegree + " 30.000'"},
        {0.25, 1, "   0" + kDegree + " 15.000'"},
        {151.2, 1, " 151" + kDegree + " 12.000'"},
        {-178.999995, 1, "-179" + kDegree + " 0.000'"},
        {33.999993, 1, "  34" + kDegree + " 0.000'"},
        {33.999991, 1, "  33" + kDegree + " 59.999'"},
        {-33.5, 0, " -33.50000" + kDegree},
        {7.123456, 0, "   7.12346" + kDegree},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatCoordinate(c.degrees, c.format), c.text) << c.degrees << " format " << c.format;
}

TEST(NavTexts, UnitsOfSpeedAndAltitude) {
    struct Case {
        int velocityUnits;
        int altitudeUnits;
        QString speed;
        QString altitude;
    } cases[] = {
        {0, 0, "10.0 m/s", "  100 m"},
        {1, 1, "22.4 mph", "  328 ft"},
        {2, 0, "36.0 kph", "  100 m"},
    };
    for (const Case& c : cases) {
        AppSettings units;
        units.m_nVelocityUnits = c.velocityUnits;
        units.m_nAltitudeUnits = c.altitudeUnits;
        const NavTexts texts = FormatNavTexts(NavOnEquator(4, 100.0, 10.0), units);
        EXPECT_EQ(texts.speed, c.speed);
        EXPECT_EQ(texts.altitude, c.altitude);
        EXPECT_EQ(texts.heading, "  0" + kDegree);
    }
}

TEST(NavTexts, FixAndModeFromTheModeBits) {
    struct Case {
        std::uint8_t mode1;
        std::uint8_t mode2;
        const char* fix;
        const char* mode;
    } cases[] = {
        {0x00, 0, "No Fix", "SPS"},        {0x01, 0, "1 SV Degraded", "SPS"}, {0x02, 0, "2 SV Degraded", "SPS"},
        {0x03, 0, "2D", "SPS"},            {0x05, 0, "2D", "SPS"},            {0x04, 0, "3D", "SPS"},
        {0x06, 0, "3D", "SPS"},            {0x07, 0, "DR", "SPS"},            {0x07, 1, "DR Sensor", "SPS"},
        {0x8C, 0, "3D", "DGPS; TP"},       {0x0C, 0, "3D", "SPS; TP"},        {0x44, 0, "No Fix", "Bad DOP"},
        {0xC4, 0, "No Fix", "Bad DOP"},
    };
    for (const Case& c : cases) {
        NavData nav = NavOnEquator(c.mode1);
        nav.Mode2 = c.mode2;
        const NavTexts texts = FormatNavTexts(nav, AppSettings{});
        EXPECT_EQ(texts.fix, c.fix) << int(c.mode1);
        EXPECT_EQ(texts.mode, c.mode) << int(c.mode1);
    }
}

TEST(NavTexts, BadDopStillShowsThePosition) {
    const NavTexts texts = FormatNavTexts(NavOnEquator(0x44, 100.0, 10.0), AppSettings{});
    EXPECT_EQ(texts.latLon, "Lat:    0.00000" + kDegree + "\nLon:    0.00000" + kDegree);
    EXPECT_EQ(texts.altitude, "  100 m");
    EXPECT_EQ(texts.speed, "10.0 m/s");
}

TEST(NavTexts, SatelliteListSkipsZerosAndStaysWithinTheRecord) {
    NavData nav = NavOnEquator(4);
    nav.SvCount = 3;
    nav.SvPrn[0] = 5;
    nav.SvPrn[2] = 17;
    NavTexts texts = FormatNavTexts(nav, AppSettings{});
    EXPECT_EQ(texts.satelliteList, " 5 17");
    EXPECT_EQ(texts.satelliteCount, "3");

    nav.SvCount = 200;  // garbage count: the list stops at the record's twelve places
    for (int i = 0; i < 12; ++i) nav.SvPrn[i] = static_cast<std::uint8_t>(i + 1);
    texts = FormatNavTexts(nav, AppSettings{});
    EXPECT_EQ(texts.satelliteList, " 1 2 3 4 5 6 7 8 9 10 11 12");
    EXPECT_EQ(texts.satelliteCount, "200");
}

TEST(NavTexts, HdopAlwaysNoPositionBlanksTheRest) {
    NavData nav = NavOnEquator(0, 100.0, 10.0);
    nav.Hdop = 7;
    nav.SvCount = 2;
    nav.SvPrn[0] = 3;
    const NavTexts texts = FormatNavTexts(nav, AppSettings{});
    EXPECT_EQ(texts.hdop, "1.4");
    EXPECT_EQ(texts.latLon, kEmptyLatLon);
    EXPECT_TRUE(texts.speed.isEmpty() && texts.heading.isEmpty() && texts.altitude.isEmpty());
    EXPECT_TRUE(texts.satelliteCount.isEmpty() && texts.satelliteList.isEmpty());
}

class PositionPage : public testing::Test {
protected:
    PositionPage() {
        context.LinkProtocol = kBinaryProtocol;
        view.resize(238, 250);
        view.OnInitialUpdate();
    }

    ReceiverContext context;
    AppSettings settings;
    MemorySections store{settings};
    testing_support::MessagePrompts prompts;
    std::function<int(CPreferencesSheet&)> answerSheet = [](CPreferencesSheet&) { return int(QDialog::Rejected); };
    DisplayPreferences preferences{
        settings, store, prompts,
        DisplaySheets(settings, prompts, [this](CPreferencesSheet& sheet) { return answerSheet(sheet); })};
    std::optional<NavData> nav;
    std::optional<GnssFix> fix;
    CNavMsgView view{context, [this] { return ModelSnapshot{nav, std::nullopt, fix}; }, preferences};
};

TEST_F(PositionPage, FieldsFollowNavigationUpdatesOnly) {
    nav = NavOnEquator(0x04, 100.0, 10.0);
    nav->Hdop = 5;
    view.OnUpdate(MessageDelivered{MessageId::TrackData});
    EXPECT_EQ(view.Text(CNavMsgView::kLatLon), kEmptyLatLon);
    view.OnUpdate(MessageDelivered{MessageId::NavData});
    EXPECT_EQ(view.Text(1042), "10.0 m/s");
    EXPECT_EQ(view.Text(1044), "  100 m");
    EXPECT_EQ(view.Text(1045), "SPS");
    EXPECT_EQ(view.Text(1046), "1.0");
    EXPECT_EQ(view.Text(1047), "3D");
}

TEST_F(PositionPage, GreyFillsThePageAtTheSizeTheHostGivesItLater) {
    view.resize(238, 300);
    EXPECT_EQ(view.grab().toImage().pixelColor(2, 297).name(), kPaletteLightGrey.name());
}

TEST_F(PositionPage, AnyUpdateBlanksEveryFieldWhileNotConnectedOrWithoutAnNmeaFix) {
    nav = NavOnEquator(0x04, 100.0, 10.0);
    view.OnUpdate(MessageDelivered{MessageId::NavData});
    for (int protocol : {int(kNmeaProtocol), int(kNotConnected)}) {
        view.OnUpdate(MessageDelivered{MessageId::NavData});
        context.LinkProtocol = protocol;
        view.OnUpdate(MessageDelivered{MessageId::ClockStatus});
        EXPECT_EQ(view.Text(1040), kEmptyLatLon);
        for (int id = 1042; id <= 1049; ++id) EXPECT_TRUE(view.Text(id).isEmpty()) << id;
        context.LinkProtocol = kBinaryProtocol;
    }
}

GnssFix NmeaFix() {
    GnssFix fix;
    fix.mode = FixMode::ThreeD;
    fix.quality = FixQuality::Differential;
    fix.latitude = -33.5;
    fix.longitude = 151.2;
    fix.altitudeMsl = 100.0;
    fix.altitudeHae = 122.0;
    fix.speed = 10.0;
    fix.track = 270.0;
    fix.hdop = 0.9;
    fix.satellitesUsed = 3;
    fix.used = {{GnssId::Gps, 5}, {GnssId::Glonass, 12}, {GnssId::BeiDou, 30}};
    return fix;
}

TEST_F(PositionPage, NmeaFixesFillTheFieldsAtTheirOwnHint) {
    context.LinkProtocol = kNmeaProtocol;
    fix = NmeaFix();
    view.OnUpdate(MessageDelivered{MessageId::DevelopmentText});
    EXPECT_EQ(view.Text(1040), kEmptyLatLon) << "a sentence is not a new fix";
    view.OnUpdate(FixUpdated{});
    EXPECT_EQ(view.Text(1040), "Lat:  -33.50000" + kDegree + "\nLon:  151.20000" + kDegree);
    EXPECT_EQ(view.Text(1042), "10.0 m/s");
    EXPECT_EQ(view.Text(1043), "270" + kDegree);
    EXPECT_EQ(view.Text(1044), "  100 m") << "the receiver's altitude above mean sea level";
    EXPECT_EQ(view.Text(1045), "DGPS");
    EXPECT_EQ(view.Text(1046), "0.9");
    EXPECT_EQ(view.Text(1047), "3D");
    EXPECT_EQ(view.Text(1048), "3");
    EXPECT_EQ(view.Text(1049), " G5 R12 C30");
    view.OnUpdate(MessageDelivered{MessageId::DevelopmentText});
    EXPECT_EQ(view.Text(1047), "3D") << "the fix stays shown between fixes";

    fix->track.reset();
    fix->mode = FixMode::TwoD;
    fix->altitudeMsl.reset();
    fix->altitudeHae.reset();
    view.OnUpdate(FixUpdated{});
    EXPECT_EQ(view.Text(1047), "2D");
    EXPECT_TRUE(view.Text(1043).isEmpty()) << "what the receiver did not report stays empty";
    EXPECT_TRUE(view.Text(1044).isEmpty());

    fix->mode = FixMode::NoFix;
    fix->latitude.reset();
    fix->longitude.reset();
    view.OnUpdate(FixUpdated{});
    EXPECT_EQ(view.Text(1040), kEmptyLatLon);
    EXPECT_EQ(view.Text(1047), "No Fix");
    EXPECT_TRUE(view.Text(1042).isEmpty());
}

TEST_F(PositionPage, PropertiesRunsTheUnitsPageAndCancelUndoesTheEdit) {
    answerSheet = [](CPreferencesSheet& sheet) {
        EXPECT_EQ(sheet.windowTitle(), "Display Properties");
        EXPECT_EQ(sheet.Page()->Title(), "Units");
        sheet.Page()->findChild<QAbstractButton*>("1015")->setChecked(true);  // feet
        sheet.Page()->SaveControls();
        return int(QDialog::Rejected);
    };
    view.PropertiesButton()->click();
    EXPECT_EQ(settings.m_nAltitudeUnits, 0);
    EXPECT_EQ(store.displaySaves, 0);
}

TEST_F(PositionPage, ConfirmedUnitsTakeEffectAtTheNextNavigationUpdate) {
    settings.m_strSerialPort = "/dev/ttyUSB1";
    answerSheet = [](CPreferencesSheet& sheet) {
        sheet.Page()->findChild<QAbstractButton*>("1012")->setChecked(true);  // mph
        sheet.Page()->findChild<QAbstractButton*>("1011")->setChecked(true);  // degrees and minutes
        sheet.accept();
        return sheet.result();
    };
    nav = NavOnEquator(0x04, 100.0, 10.0);
    view.OnUpdate(MessageDelivered{MessageId::NavData});
    view.PropertiesButton()->click();
    EXPECT_EQ(store.displaySaves, 1);
    EXPECT_EQ(store.stored.m_nVelocityUnits, 1);
    EXPECT_EQ(store.stored.m_strSerialPort, "/dev/ttyUSB1");
    EXPECT_EQ(view.Text(1042), "10.0 m/s");
    view.OnUpdate(MessageDelivered{MessageId::NavData});
    EXPECT_EQ(view.Text(1042), "22.4 mph");
    EXPECT_EQ(view.Text(1040), "Lat:    0" + kDegree + " 0.000'\nLon:    0" + kDegree + " 0.000'");
}

}  // namespace
}  // namespace vexa
