#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QThread>
#include <map>

#include "../views/page_test_support.h"
#include "app/serial_comm_dialog.h"
#include "sim/receiver_simulator.h"
#include "ui_fixture.h"
#include "views/graphic/sky_plot.h"
#include "views/graphic/view_sky.h"
#include "views/nav_msg_view.h"
#include "views/satellite_colour.h"

namespace vexa::test {
namespace {

using testing_support::ColourAt;
using testing_support::Render;

// The program against a simulated receiver of four systems writing NMEA at 38400 baud on a
// pseudo-terminal, found by "Auto". The test drives the receiver's clock and the dialog's ticks.
class ManySystemsEndToEnd : public UiFixture {
protected:
    ManySystemsEndToEnd() : simulator(Options()) {}

    static sim::SimulatorOptions Options() {
        sim::SimulatorOptions options;
        options.receiver.protocol = sim::Protocol::Nmea;
        options.receiver.baud = 38400;
        options.receiver.startUnixSeconds = 1'700'000'000;
        options.receiver.constellations = {sim::Constellation::Gps, sim::Constellation::Glonass,
                                           sim::Constellation::Galileo, sim::Constellation::BeiDou};
        return options;
    }

    void ReceiverSecond() {
        simulator.advance(std::chrono::seconds(1));
        QThread::msleep(50);
    }

    // Connects through the Serial Comm dialog with "Auto"; true once the link runs NMEA.
    bool ConnectWithAuto() {
        ui->ports.sysfsRoot = settingsFolder.filePath("no-sysfs").toStdString();
        ui->ports.simulatedReceiver = SerialPortEntry{simulator.slavePath(), std::string(kSimulatedReceiverName)};
        BuildFrame();
        CSerialCommDlg dialog(*ui, frame.get());
        dialog.PortCombo()->setCurrentIndex(0);
        dialog.BaudCombo()->setCurrentText("Auto");
        dialog.ConnectButton()->click();
        QElapsedTimer waited;
        waited.start();
        while (receiver.LinkProtocol != kNmeaProtocol && waited.elapsed() < 20000) {
            ReceiverSecond();
            dialog.OnTimer();
        }
        dialog.OnTimer();
        return receiver.LinkProtocol == kNmeaProtocol;
    }

    sim::ReceiverSimulator simulator;
};

TEST_F(ManySystemsEndToEnd, PositionPageShowsTheFixAndSkyPageSatellitesOfFourSystems) {
    ASSERT_TRUE(ConnectWithAuto());
    QElapsedTimer waited;
    waited.start();
    while ((!comm->Model().LatestFix() || !comm->Model().LatestFix()->hasPosition() || !comm->Model().LatestSky()) &&
           waited.elapsed() < 10000) {
        ReceiverSecond();
    }
    ReceiverSecond();
    ProcessEvents();
    const std::optional<GnssSky> sky = comm->Model().LatestSky();
    ASSERT_TRUE(sky);
    const std::optional<GnssFix> fix = comm->Model().LatestFix();
    ASSERT_TRUE(fix && fix->hasPosition());

    auto* position = frame->TabHost()->findChild<CNavMsgView*>();
    ASSERT_NE(position, nullptr);
    // The simulated receiver walks around 37.3875 N, 121.9720 W.
    const QString latLon = position->Text(CNavMsgView::kLatLon);
    EXPECT_TRUE(latLon.contains("37") && latLon.contains("-121")) << latLon.toStdString();

    auto* skyPage = frame->TabHost()->findChild<CViewSky*>();
    ASSERT_NE(skyPage, nullptr);
    const QImage image = Render(*skyPage);
    // The plot sits at (31, 2) in the page, 172 pixels square inside its border.
    const SkyGeometry geometry = SkyGeometryFor({172, 172});
    std::map<GnssId, int> inView;
    std::map<GnssId, int> drawn;
    for (const SkySatellite& satellite : sky->satellites) {
        ++inView[satellite.id.gnss];
        if (!satellite.elevation || !satellite.azimuth) continue;
        const QPoint p = SkyPositionDegrees(geometry, *satellite.elevation, *satellite.azimuth) + QPoint(31, 2);
        drawn[satellite.id.gnss] += ColourAt(image, p.x(), p.y() + 6) == SatelliteColour(satellite, &*fix).name();
    }
    EXPECT_GE(sky->satellites.size(), 20u);
    for (const GnssId gnss : {GnssId::Gps, GnssId::Glonass, GnssId::Galileo, GnssId::BeiDou}) {
        EXPECT_GE(inView[gnss], 8) << static_cast<int>(gnss);
        EXPECT_GE(drawn[gnss], 1) << static_cast<int>(gnss);
    }
}

}  // namespace
}  // namespace vexa::test
