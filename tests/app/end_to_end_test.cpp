#include <QComboBox>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QThread>

#include "app/demo_tab_view.h"
#include "app/serial_comm_dialog.h"
#include "link/sources/replay_name.h"
#include "platform/result_codes.h"
#include "sim/receiver_simulator.h"
#include "ui_fixture.h"
#include "views/debug_data_view.h"
#include "views/graphic/plot_view.h"
#include "views/graphic/view_map.h"
#include "views/graphic/view_sct.h"
#include "views/nav_msg_view.h"
#include "views/nav_texts.h"

namespace vexa::test {
namespace {

// The program against the simulated receiver on a pseudo-terminal: NMEA at 4800 baud, found by
// "Auto". The receiver's clock and the dialog's ticks are driven by the test; only the comm
// reader runs in real time.
class EndToEndTest : public UiFixture {
protected:
    EndToEndTest() : simulator(Options()) {}

    static sim::SimulatorOptions Options() {
        sim::SimulatorOptions options;
        options.receiver.protocol = sim::Protocol::Nmea;
        options.receiver.baud = 4800;
        options.receiver.startUnixSeconds = 1'700'000'000;
        return options;
    }

    // One second of the receiver, then a moment for the comm reader to take it in.
    void ReceiverSecond() {
        simulator.advance(std::chrono::seconds(1));
        QThread::msleep(50);
    }
    bool WaitForProtocol(int protocol) {
        QElapsedTimer waited;
        waited.start();
        while (receiver.LinkProtocol != protocol && waited.elapsed() < 5000) ReceiverSecond();
        return receiver.LinkProtocol == protocol;
    }

    sim::ReceiverSimulator simulator;
};

TEST_F(EndToEndTest, AutoFindsTheNmeaReceiverAndTheTextPageShowsItsSentences) {
    ui->ports.sysfsRoot = settingsFolder.filePath("no-sysfs").toStdString();
    ui->ports.simulatedReceiver = SerialPortEntry{simulator.slavePath(), std::string(kSimulatedReceiverName)};
    BuildFrame();
    CSerialCommDlg dialog(*ui, frame.get());
    ASSERT_EQ(dialog.PortCombo()->itemText(0), "Simulated receiver");
    dialog.PortCombo()->setCurrentIndex(0);
    dialog.BaudCombo()->setCurrentText("Auto");
    dialog.ConnectButton()->click();

    // 57600 and 38400 hear only noise for five ticks each.
    for (int tick = 0; tick < 10; ++tick) {
        ReceiverSecond();
        EXPECT_EQ(receiver.LinkProtocol, kNotConnected) << tick;
        dialog.OnTimer();
    }
    EXPECT_EQ(dialog.Controller().AutoBaudIndex(), 2);
    ASSERT_TRUE(WaitForProtocol(kNmeaProtocol));
    dialog.OnTimer();
    EXPECT_FALSE(dialog.Controller().Testing());
    EXPECT_EQ(dialog.BaudCombo()->currentText(), "4800");
    EXPECT_EQ(settings.m_nBaudRate, 4800);

    ReceiverSecond();
    ReceiverSecond();
    ProcessEvents();
    const QListWidget* list = frame->TabHost()->TextView()->List();
    ASSERT_GT(list->count(), 3);
    for (int row = 0; row < list->count(); ++row) {
        EXPECT_TRUE(list->item(row)->text().startsWith("$GP")) << list->item(row)->text().toStdString();
    }

    // The Position page shows the NMEA receiver's fix.
    const auto* position = qobject_cast<CNavMsgView*>(frame->TabHost()->GetView(0));
    ASSERT_NE(position, nullptr);
    for (int second = 0; second < 5 && position->Text(1047).isEmpty(); ++second) {
        ReceiverSecond();
        ProcessEvents();
    }
    EXPECT_EQ(position->Text(1047), "3D");
    EXPECT_TRUE(position->Text(CNavMsgView::kLatLon).startsWith("Lat: ")) << position->Text(1040).toStdString();
    EXPECT_NE(position->Text(CNavMsgView::kLatLon), kEmptyLatLon);
    EXPECT_FALSE(position->Text(1049).isEmpty()) << "the satellites used";

    dialog.DisconnectButton()->click();
    EXPECT_EQ(receiver.LinkProtocol, kNotConnected);
    const int shown = list->count();
    ReceiverSecond();
    ProcessEvents();
    EXPECT_EQ(list->count(), shown);
}

// A capture replayed as the receiver drives the pages as a live receiver would: the protocol is
// found from its bytes and the Position page shows its fix.
using ReplayEndToEndTest = UiFixture;

TEST_F(ReplayEndToEndTest, ACaptureDrivesThePositionPageLikeALiveReceiver) {
    BuildFrame();
    const std::string name = MakeReplayName(VEXA_SOURCE_DIR "/res/samples/demo.bin", ReplayPace{ReplayPace::kFastest, false});
    ASSERT_EQ(comm->Connect(name, 0), kResultOk) << comm->ConnectProblem();
    const auto* position = qobject_cast<CNavMsgView*>(frame->TabHost()->GetView(CDemoTabView::kPosition));
    ASSERT_NE(position, nullptr);
    QElapsedTimer waited;
    waited.start();
    while ((receiver.LinkProtocol != kBinaryProtocol || position->Text(CNavMsgView::kLatLon) == kEmptyLatLon) &&
           waited.elapsed() < 10000) {
        QThread::msleep(20);
        ProcessEvents();
    }
    EXPECT_EQ(receiver.LinkProtocol, kBinaryProtocol);
    EXPECT_TRUE(position->Text(CNavMsgView::kLatLon).startsWith("Lat: ")) << position->Text(CNavMsgView::kLatLon).toStdString();
    EXPECT_NE(position->Text(CNavMsgView::kLatLon), kEmptyLatLon);
    EXPECT_EQ(comm->CommandsRefused(), "a replayed capture takes no commands");
}

// The simulated receiver in the binary protocol at 57600 baud, switched on without any memory of
// the sky (no fix for a minute), then cold-started by the program and fixed four seconds later.
class ColdStartTest : public UiFixture {
protected:
    ColdStartTest() : simulator(Options()) {}

    static sim::SimulatorOptions Options() {
        sim::SimulatorOptions options;
        options.receiver.startUnixSeconds = 1'700'000'000;
        options.receiver.timesToFirstFix.hot = 60.0;
        options.receiver.timesToFirstFix.cold = 4.0;
        return options;
    }
    void ReceiverSecond() {
        simulator.advance(std::chrono::seconds(1));
        QThread::msleep(50);
        ProcessEvents();
    }
    template <typename Page>
    Page* PageAt(int index) const { return qobject_cast<Page*>(frame->TabHost()->GetView(index)); }

    sim::ReceiverSimulator simulator;
};

TEST_F(ColdStartTest, ThePlotAndTheMapStartFromTheFirstFixNotFromTheSearchingRecords) {
    BuildFrame();
    prompts.fileAnswers.push_back(QStringLiteral(VEXA_SOURCE_DIR "/res/maps/VexaDemoPPC_Maps/VexaDemoPPC.gst"));
    frame->RunCommand(CMainFrame::kLoadMap);
    CCartexView* map = PageAt<CViewMap>(CDemoTabView::kMap)->CartexView();
    ASSERT_TRUE(map->MapLoaded());
    const GeoRect view = map->Control()->Bounds();
    const CMapView* plot = PageAt<CViewSct>(CDemoTabView::kPlot)->Plot();
    const CNavMsgView* position = PageAt<CNavMsgView>(CDemoTabView::kPosition);

    ASSERT_EQ(comm->Connect(simulator.slavePath(), 57600), kResultOk);
    for (int second = 0; second < 10 && receiver.LinkProtocol != kBinaryProtocol; ++second) ReceiverSecond();
    ASSERT_EQ(receiver.LinkProtocol, kBinaryProtocol);
    frame->RunCommand(CMainFrame::kColdStart);

    int searching = 0;
    for (int second = 0; second < 15 && plot->HistoryCount() == 0; ++second) {
        ReceiverSecond();
        if (position->Text(1047) != "No Fix") continue;
        ++searching;
        EXPECT_EQ(plot->HistoryCount(), 0);
        EXPECT_EQ(settings.m_dOriginLat, 0.0);
        EXPECT_EQ(settings.m_dOriginLon, 0.0);
        EXPECT_EQ(map->Control()->Bounds().minY, view.minY) << "the map must not pan towards the pole";
    }
    EXPECT_GE(searching, 2);
    ASSERT_GT(plot->HistoryCount(), 0);
    // The simulated receiver walks a few hundred metres around the sample map's centre.
    EXPECT_NEAR(settings.m_dOriginLat, 37.3875, 0.01);
    EXPECT_NEAR(settings.m_dOriginLon, -121.972, 0.01);
    const GeoPoint marker = map->PositionLayer()->Features().front().bounds.Center();
    EXPECT_NEAR(marker.y, 37.3875, 0.01);
    EXPECT_NEAR(marker.x, -121.972, 0.01);
    EXPECT_EQ(comm->Disconnect(), kResultOk);
}

}  // namespace
}  // namespace vexa::test
