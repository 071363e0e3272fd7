#include <QComboBox>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QThread>

#include "support/gpsd_process.h"
#include "app/demo_tab_view.h"
#include "app/serial_comm_dialog.h"
#include "sim/receiver_simulator.h"
#include "ui_fixture.h"
#include "views/debug_data_view.h"

namespace vexa::test {
namespace {

// The program offscreen, reading a receiver that a real gpsd owns: the simulated receiver on a
// pseudo-terminal in real time, gpsd in the foreground on it, and the port "gpsd://127.0.0.1:PORT".
class GpsdEndToEndTest : public UiFixture {
protected:
    void SetUp() override {
        if (GpsdProgram().empty()) GTEST_SKIP() << "gpsd is not installed (scripts/bootstrap installs it)";
        sim::SimulatorOptions options;
        options.receiver.protocol = sim::Protocol::Nmea;
        options.receiver.baud = 9600;
        simulator = std::make_unique<sim::ReceiverSimulator>(options);
        simulator->start();
        gpsd = std::make_unique<GpsdProcess>(std::vector<std::string>{simulator->slavePath()});
        ASSERT_TRUE(gpsd->Ready());
    }
    void TearDown() override {
        gpsd.reset();
        if (simulator) simulator->stop();
    }

    std::unique_ptr<sim::ReceiverSimulator> simulator;
    std::unique_ptr<GpsdProcess> gpsd;
};

TEST_F(GpsdEndToEndTest, TheTextPageShowsTheReceiversSentencesAndNoneOfGpsdsLines) {
    const std::string name = "gpsd://127.0.0.1:" + std::to_string(gpsd->Port());
    ui->ports.sysfsRoot = settingsFolder.filePath("no-sysfs").toStdString();
    ui->ports.extraPaths = {name};
    BuildFrame();
    CSerialCommDlg dialog(*ui, frame.get());
    dialog.PortCombo()->setCurrentText(QString::fromStdString(name));
    dialog.ConnectButton()->click();
    QElapsedTimer waited;
    waited.start();
    while (receiver.LinkProtocol != kNmeaProtocol && waited.elapsed() < 20000) {
        QThread::msleep(100);
        ProcessEvents();
        if (waited.elapsed() % 1000 < 100) dialog.OnTimer();
    }
    ASSERT_EQ(receiver.LinkProtocol, kNmeaProtocol);
    QThread::msleep(2000);
    ProcessEvents();
    const QListWidget* list = frame->TabHost()->TextView()->List();
    ASSERT_GT(list->count(), 3);
    for (int row = 0; row < list->count(); ++row) {
        EXPECT_TRUE(list->item(row)->text().startsWith("$G")) << list->item(row)->text().toStdString();
    }
    dialog.DisconnectButton()->click();
}

}  // namespace
}  // namespace vexa::test
