#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include "ui_fixture.h"

namespace vexa::test {
namespace {

class SettingsStoreTest : public UiFixture {
protected:
    QSettings File() const { return QSettings(QSettings::IniFormat, QSettings::UserScope, "Vexa", "VexaDemoPPC"); }

    void LoadAll() {
        store->LoadDisplaySettings();
        store->LoadPlotSettings();
        store->LoadLogFileName();
    }
};

TEST_F(SettingsStoreTest, FirstStartWithAnEmptyFolderGivesTheDefaults) {
    settings.m_nBaudRate = 1;
    settings.m_nRing3 = 1;
    settings.m_strLogFileName = "x";
    LoadAll();
    EXPECT_EQ(settings.m_nBaudRate, 57600);
    EXPECT_EQ(settings.m_strSerialPort, "");
    EXPECT_EQ(settings.m_nLatLonFormat, 0);
    EXPECT_EQ(settings.m_nAltitudeUnits, 0);
    EXPECT_EQ(settings.m_nVelocityUnits, 0);
    EXPECT_EQ(settings.m_nRing1, 10);
    EXPECT_EQ(settings.m_nRing2, 20);
    EXPECT_EQ(settings.m_nRing3, 30);
    EXPECT_EQ(settings.m_dOriginLat, 0.0);
    EXPECT_EQ(settings.m_dOriginLon, 0.0);
    EXPECT_EQ(settings.m_strLogFileName, "vexacore.gps");
}

TEST_F(SettingsStoreTest, ASettingsFileThatCannotBeWrittenIsReportedWithItsReason) {
    QFile blocker(settingsFolder.filePath("Vexa"));  // where the settings' folder belongs
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    store->SaveDisplaySettings();
    EXPECT_EQ(prompts.messages, QStringList{"The settings could not be saved.\n" + store->FileName() + ": " +
                                            settingsFolder.filePath("Vexa") + " is not a folder"});
}

// Qt keeps reporting a file it could not parse after writing it anew: that is no failure to save.
TEST_F(SettingsStoreTest, AGarbledFileIsReplacedOnSaveWithoutAFalseFailure) {
    QFile garbled(store->FileName());
    ASSERT_TRUE(QDir().mkpath(QFileInfo(garbled).path()));
    ASSERT_TRUE(garbled.open(QIODevice::WriteOnly));
    garbled.write("[Map View\nRing 1=5\n\x01\x02[[garbage\n=\n");
    garbled.close();
    LoadAll();
    settings.m_nRing3 = 75;
    store->SavePlotSettings();
    EXPECT_EQ(prompts.messages, QStringList{});
    EXPECT_EQ(File().value("Map View/Ring 3").toInt(), 75);
}

TEST_F(SettingsStoreTest, SavedSectionsReadBackInANewStore) {
    settings.m_nLatLonFormat = 1;
    settings.m_nAltitudeUnits = 1;
    settings.m_nVelocityUnits = 2;
    settings.m_strSerialPort = "/dev/ttyUSB1";
    settings.m_nBaudRate = 0;
    settings.m_dOriginLat = -33.8688197;
    settings.m_dOriginLon = 151.2092957;
    settings.m_nRing1 = 5;
    settings.m_nRing2 = 5;
    settings.m_nRing3 = 250;
    settings.m_strLogFileName = "/tmp/run.gps";
    store->SaveDisplaySettings();
    store->SavePlotSettings();
    store->SaveLogFileName();

    AppSettings reread;
    SettingsStore other(reread);
    other.LoadDisplaySettings();
    other.LoadPlotSettings();
    other.LoadLogFileName();
    EXPECT_EQ(reread.m_nLatLonFormat, 1);
    EXPECT_EQ(reread.m_nAltitudeUnits, 1);
    EXPECT_EQ(reread.m_nVelocityUnits, 2);
    EXPECT_EQ(reread.m_strSerialPort, "/dev/ttyUSB1");
    EXPECT_EQ(reread.m_nBaudRate, 0);
    EXPECT_DOUBLE_EQ(reread.m_dOriginLat, -33.868820);
    EXPECT_DOUBLE_EQ(reread.m_dOriginLon, 151.209296);
    EXPECT_EQ(reread.m_nRing1, 5);
    EXPECT_EQ(reread.m_nRing3, 250);
    EXPECT_EQ(reread.m_strLogFileName, "/tmp/run.gps");
}

TEST_F(SettingsStoreTest, TheFileHoldsVersionAndTheOriginAsSixDecimalText) {
    settings.m_dOriginLat = 37.3875;
    store->SaveDisplaySettings();
    store->SavePlotSettings();
    const QSettings file = File();
    EXPECT_EQ(file.value("Dezori Zuri/Version").toString(), "1.0");
    EXPECT_EQ(file.value("Map View/Lat").toString(), "37.387500");
    EXPECT_EQ(file.value("Map View/Lon").toString(), "0.000000");
    for (const char* key : {"Lat Lon Format", "Altitude Units", "Velocity Units", "GPS Serial Port", "GPS Baud Rate"}) {
        EXPECT_TRUE(file.contains(QStringLiteral("Dezori Zuri/") + key)) << key;
    }
}

// Values edited by hand: what the program cannot use falls back to its default.
TEST_F(SettingsStoreTest, UnusableValuesFallBackToTheirDefaults) {
    struct Case {
        const char* key;
        const char* stored;
        std::function<double(const AppSettings&)> field;
        double expected;
    };
    const std::vector<Case> cases = {
        {"Dezori Zuri/Lat Lon Format", "2", [](const AppSettings& s) { return s.m_nLatLonFormat; }, 0},
        {"Dezori Zuri/Lat Lon Format", "1", [](const AppSettings& s) { return s.m_nLatLonFormat; }, 1},
        {"Dezori Zuri/Altitude Units", "-1", [](const AppSettings& s) { return s.m_nAltitudeUnits; }, 0},
        {"Dezori Zuri/Velocity Units", "3", [](const AppSettings& s) { return s.m_nVelocityUnits; }, 0},
        {"Dezori Zuri/Velocity Units", "kph", [](const AppSettings& s) { return s.m_nVelocityUnits; }, 0},
        {"Dezori Zuri/GPS Baud Rate", "1234", [](const AppSettings& s) { return s.m_nBaudRate; }, 57600},
        {"Dezori Zuri/GPS Baud Rate", "-4800", [](const AppSettings& s) { return s.m_nBaudRate; }, 57600},
        {"Dezori Zuri/GPS Baud Rate", "4800", [](const AppSettings& s) { return s.m_nBaudRate; }, 4800},
        {"Dezori Zuri/GPS Baud Rate", "0", [](const AppSettings& s) { return s.m_nBaudRate; }, 0},
        {"Map View/Lat", "north", [](const AppSettings& s) { return s.m_dOriginLat; }, 0.0},
        {"Map View/Lat", "12.5xyz", [](const AppSettings& s) { return s.m_dOriginLat; }, 12.5},
        {"Map View/Lat", " -7.25", [](const AppSettings& s) { return s.m_dOriginLat; }, -7.25},
        {"Map View/Lat", "nan", [](const AppSettings& s) { return s.m_dOriginLat; }, 0.0},
        {"Map View/Lat", "91", [](const AppSettings& s) { return s.m_dOriginLat; }, 0.0},
        {"Map View/Lon", "1e308", [](const AppSettings& s) { return s.m_dOriginLon; }, 0.0},
        {"Map View/Lon", "-179.5", [](const AppSettings& s) { return s.m_dOriginLon; }, -179.5},
    };
    for (const Case& c : cases) {
        File().clear();
        File().setValue(c.key, c.stored);
        LoadAll();
        EXPECT_EQ(c.field(settings), c.expected) << c.key << " = " << c.stored;
    }
}

TEST_F(SettingsStoreTest, NetworkSourcesAreSavedBesideThePortAndCheckedWhenRead) {
    settings.m_networkSources = {"tcp://gnss-box:4001", "gpsd://base-station"};
    store->SaveDisplaySettings();
    EXPECT_EQ(File().value("Dezori Zuri/GPS Network Sources").toStringList(),
              (QStringList{"tcp://gnss-box:4001", "gpsd://base-station"}));
    settings.m_networkSources.clear();
    store->LoadDisplaySettings();
    EXPECT_EQ(settings.m_networkSources, (std::vector<std::string>{"tcp://gnss-box:4001", "gpsd://base-station"}));

    QStringList edited{"tcp://a:1", "/etc/passwd", "tcp://a:1", "", "gpsd://"};
    for (int i = 0; i < 20; ++i) edited.append(QStringLiteral("tcp://host-%1:4001").arg(i));
    File().setValue("Dezori Zuri/GPS Network Sources", edited);
    store->LoadDisplaySettings();
    ASSERT_EQ(settings.m_networkSources.size(), kMaxListedPorts);
    EXPECT_EQ(settings.m_networkSources.front(), "tcp://a:1");
    EXPECT_EQ(settings.m_networkSources[1], "tcp://host-0:4001");

    settings.m_networkSources.clear();
    store->SaveDisplaySettings();
    EXPECT_FALSE(File().contains("Dezori Zuri/GPS Network Sources")) << "nothing left to remember";
}

TEST_F(SettingsStoreTest, AnOriginAtTheNoFixPoleOrOffTheEarthReadsAsNotSet) {
    struct Case {
        const char* lat;
        const char* lon;
        double expectedLat, expectedLon;
    };
    for (const Case& c : {Case{"90.000000", "0.000000", 0.0, 0.0}, Case{"91", "5", 0.0, 0.0},
                          Case{"45", "181", 0.0, 0.0}, Case{"inf", "7", 0.0, 0.0},
                          Case{"90", "0.5", 90.0, 0.5}, Case{"-90", "0", -90.0, 0.0},
                          Case{"12.5", "0", 12.5, 0.0}}) {
        File().setValue("Map View/Lat", c.lat);
        File().setValue("Map View/Lon", c.lon);
        store->LoadPlotSettings();
        EXPECT_EQ(settings.m_dOriginLat, c.expectedLat) << c.lat << ", " << c.lon;
        EXPECT_EQ(settings.m_dOriginLon, c.expectedLon) << c.lat << ", " << c.lon;
    }
}

TEST_F(SettingsStoreTest, RingRadiiThatFailThePreferencesTestAllFallBack) {
    struct Case {
        int ring1, ring2, ring3;
        bool kept;
    };
    for (const Case& c : {Case{10, 10, 10, true}, Case{1, 2, 3, true}, Case{-5, 0, 5, false}, Case{0, 5, 10, false},
                          Case{-30, -20, -10, false}, Case{10, 30, 20, false}, Case{0, 0, 0, false},
                          Case{5, 6, -1, false}}) {
        File().setValue("Map View/Ring 1", c.ring1);
        File().setValue("Map View/Ring 2", c.ring2);
        File().setValue("Map View/Ring 3", c.ring3);
        store->LoadPlotSettings();
        const std::array<int, 3> expected = c.kept ? std::array{c.ring1, c.ring2, c.ring3} : std::array{10, 20, 30};
        EXPECT_EQ((std::array{settings.m_nRing1, settings.m_nRing2, settings.m_nRing3}), expected)
            << c.ring1 << " " << c.ring2 << " " << c.ring3;
    }
}

// Serving metrics is stored with its address; an edited pair that is not usable reads as off.
TEST_F(SettingsStoreTest, MetricsServeOnlyAtAUsableAddressStoredAsChosen) {
    settings.m_bServeMetrics = true;
    settings.m_strMetricsAddress = "0.0.0.0:9100";
    store->SaveMetricsSettings();
    settings = AppSettings{};
    store->LoadMetricsSettings();
    EXPECT_TRUE(settings.m_bServeMetrics);
    EXPECT_EQ(settings.m_strMetricsAddress, "0.0.0.0:9100");

    struct Case {
        const char* serve;
        const char* address;
        bool served;
        const char* readAddress;
    };
    for (const Case& c : {Case{"true", "lab-host:9200", true, "lab-host:9200"}, Case{"false", "lab-host:9200", false, "lab-host:9200"},
                          Case{"yes", "lab-host:9200", false, "lab-host:9200"}, Case{"true", "9200", false, "127.0.0.1:9861"},
                          Case{"true", "lab-host:99999", false, "127.0.0.1:9861"}, Case{"true", ":9200", false, "127.0.0.1:9861"},
                          Case{"true", "", false, "127.0.0.1:9861"}}) {
        File().setValue("Metrics/Serve", c.serve);
        File().setValue("Metrics/Address", c.address);
        store->LoadMetricsSettings();
        EXPECT_EQ(settings.m_bServeMetrics, c.served) << c.serve << " " << c.address;
        EXPECT_EQ(settings.m_strMetricsAddress, c.readAddress) << c.serve << " " << c.address;
    }
}

TEST_F(SettingsStoreTest, TheWindowSizeIsRememberedAndAnAbsurdOneReadsAsNone) {
    settings.m_nWindowWidth = 1280;
    settings.m_nWindowHeight = 1024;
    store->SaveWindowSize();
    settings.m_nWindowWidth = settings.m_nWindowHeight = 0;
    store->LoadWindowSize();
    EXPECT_EQ(QSize(settings.m_nWindowWidth, settings.m_nWindowHeight), QSize(1280, 1024));

    static const QSize kAbsurd[] = {{0, 0}, {0, 600}, {-800, 600}, {800, -600}, {100000, 600}, {800, 100000}, {100, 600}};
    for (const QSize size : kAbsurd) {
        File().setValue("Window/Width", size.width());
        File().setValue("Window/Height", size.height());
        store->LoadWindowSize();
        EXPECT_EQ(QSize(settings.m_nWindowWidth, settings.m_nWindowHeight), QSize(0, 0)) << size.width() << " x " << size.height();
    }
    File().setValue("Window/Width", "wide");
    store->LoadWindowSize();
    EXPECT_EQ(settings.m_nWindowWidth, 0);
}

}  // namespace
}  // namespace vexa::test
