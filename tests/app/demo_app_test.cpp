#include <QCoreApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <functional>
#include <memory>

#include <gtest/gtest.h>
#include <poll.h>

#include "support/frame_bytes.h"
#include "support/pseudo_terminal.h"
#include "app/command_line.h"
#include "app/demo_app.h"
#include "app/demo_tab_view.h"
#include "app/main_frame.h"
#include "app/serial_comm_dialog.h"
#include "link/gps_comm.h"
#include "link/link_log.h"
#include "receiver/binary/message_writer.h"
#include "sim/receiver_simulator.h"
#include "uicore/scripted_prompts.h"
#include "uicore/ui_context.h"
#include "views/debug_data_view.h"
#include "views/nav_msg_view.h"
#include "views/nav_texts.h"

namespace vexa::test {
namespace {

// The whole program as main() builds it, with its settings in a temporary folder, no serial ports
// but those a test names, and its modal dialogs answered by `answerDialog` (cancelled when empty).
class DemoAppTest : public ::testing::Test {
protected:
    DemoAppTest() { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder.path()); }

    std::unique_ptr<CDemoApp> Build(DemoOptions options) {
        const QString instance = QStringLiteral("vexa-demo-app-test-%1").arg(QCoreApplication::applicationPid());
        auto app = std::make_unique<CDemoApp>(std::move(options), prompts, instance);
        app->Ui().ports.sysfsRoot = settingsFolder.filePath("no-sysfs").toStdString();
        app->Ui().runModal = [this](QDialog& dialog) {
            return answerDialog ? answerDialog(dialog) : int{QDialog::Rejected};
        };
        return app;
    }

    // Lets the program's timers and the link's notifications run until `done` holds.
    static bool RunUntil(const std::function<bool()>& done, int timeoutMs = 20000) {
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < timeoutMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(10);
        }
        return done();
    }

    QTemporaryDir settingsFolder;
    ScriptedPrompts prompts;
    std::function<int(QDialog&)> answerDialog;
};

// The built-in simulated receiver speaks the selected product: an Osprey's frames carry its
// channel byte, and the Position page is filled from them.
TEST_F(DemoAppTest, AnOspreyOnTheBuiltInSimulatorFillsThePositionPage) {
    DemoOptions options;
    options.simulate = true;
    options.product = kOsprey;
    options.connect = true;
    auto app = Build(options);
    ASSERT_TRUE(app->InitInstance());
    const auto* position = static_cast<CNavMsgView*>(app->MainFrame()->TabHost()->GetView(CDemoTabView::kPosition));
    EXPECT_TRUE(RunUntil([&] { return position->Text(CNavMsgView::kLatLon) != kEmptyLatLon; }));
    EXPECT_EQ(app->Ui().receiver.LinkProtocol, kBinaryProtocol);
    EXPECT_TRUE(position->Text(CNavMsgView::kLatLon).contains("Lon: ")) << position->Text(CNavMsgView::kLatLon).toStdString();
}

// Start-up shows the Serial Comm dialog; a receiver found there talking NMEA opens the Text page.
TEST_F(DemoAppTest, AnNmeaReceiverFoundAtStartUpSelectsTheTextPage) {
    sim::SimulatorOptions receiverOptions;
    receiverOptions.receiver.protocol = sim::Protocol::Nmea;
    receiverOptions.receiver.baud = 4800;
    receiverOptions.receiver.startUnixSeconds = 1'700'000'000;
    sim::ReceiverSimulator simulator(receiverOptions);
    DemoOptions options;
    options.product = kKestrel;
    options.ports = {simulator.slavePath()};
    auto app = Build(options);
    bool dialogShown = false;
    answerDialog = [&](QDialog& dialog) {
        auto* serial = qobject_cast<CSerialCommDlg*>(&dialog);
        if (serial == nullptr) return int{QDialog::Rejected};
        dialogShown = true;
        serial->PortCombo()->setCurrentIndex(0);
        serial->BaudCombo()->setCurrentText("4800");
        serial->ConnectButton()->click();
        for (int second = 0; second < 5 && serial->Controller().Testing(); ++second) {
            simulator.advance(std::chrono::seconds(1));
            RunUntil([&] { return app->Ui().receiver.LinkProtocol != kNotConnected; }, 2000);
            serial->OnTimer();
        }
        serial->DoneButton()->click();
        return serial->result();
    };
    ASSERT_TRUE(app->InitInstance());
    ASSERT_TRUE(dialogShown);
    EXPECT_EQ(app->Ui().receiver.LinkProtocol, kNmeaProtocol);
    EXPECT_EQ(app->MainFrame()->TabHost()->CurrentIndex(), CDemoTabView::kText);
}

// A receiver's error reports carry as many parameters as they count (none, one, two ...); each
// shows on the Text page with the parameters it carries.
TEST_F(DemoAppTest, ErrorReportsOfEveryLengthReachTheTextPage) {
    PseudoTerminal receiverEnd;
    const std::string port = receiverEnd.SlavePath();
    const std::string_view arguments[] = {"--product", "Kestrel", "--port", port, "--connect"};
    const ParsedDemoOptions parsed = ParseDemoOptions(arguments);
    ASSERT_EQ(parsed.error, "");
    auto app = Build(parsed.options);
    ASSERT_TRUE(app->InitInstance());
    receiverEnd.Send(Frame(MessagePayload(OkToSendRecord{1})));
    ASSERT_TRUE(RunUntil([&] { return app->Ui().receiver.LinkProtocol == kBinaryProtocol; }));

    receiverEnd.Send(Join({Frame({10, 0x10, 0x08, 0, 0}), Frame({10, 0x10, 0x01, 0, 1, 0, 0, 0x01, 0xF4}),
                           Frame({10, 0, 2, 0, 2, 0, 0, 0, 7, 0, 0, 0, 3})}));
    const QListWidget* list = app->MainFrame()->TabHost()->TextView()->List();
    const QStringList expected = {"SRAM control flags contain bad checksum", "VCO lock lost in 500 msec",
                                  "Bad parity from SV 07, subframe 3"};
    const auto shown = [&] {
        QStringList lines;
        for (int row = 0; row < list->count(); ++row) lines << list->item(row)->text();
        return lines;
    };
    EXPECT_TRUE(RunUntil([&] { return shown().size() >= expected.size(); })) << shown().join('|').toStdString();
    EXPECT_EQ(shown(), expected);
}

// Exit closes the window and ends the event loop with 0; then the program takes the link down in
// order: the data log with its closing line, the location client, the port, the comm reader.
TEST_F(DemoAppTest, ExitEndsWithCodeZeroAndTheShutDownClosesTheLogAndThePort) {
    PseudoTerminal receiverEnd;
    DemoOptions options;
    options.product = kKestrel;
    options.connect = true;
    options.ports = {receiverEnd.SlavePath()};
    auto app = Build(options);
    ASSERT_TRUE(app->InitInstance());
    const QString logPath = settingsFolder.filePath("exit.gps");
    ASSERT_EQ(app->MainFrame()->Log()->Open(logPath.toStdString()), kResultOk);
    receiverEnd.Send("$GPGSA,A,3,,,,,,,,,,,,,1.0,1.0,1.0*30\r\n");
    ASSERT_TRUE(RunUntil([&] { return app->Ui().receiver.LinkProtocol == kNmeaProtocol; }));

    QTimer::singleShot(0, app->MainFrame(), [&app] { app->MainFrame()->RunCommand(CMainFrame::kExit); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(app->MainFrame()->isVisible());

    receiverEnd.CloseKeeper();
    app.reset();
    QFile log(logPath);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    EXPECT_TRUE(text.contains("$GPGSA,A,3")) << "what was received before the exit is kept";
    const qsizetype closing = text.lastIndexOf("\r\nLog file closed ");
    ASSERT_GE(closing, 0) << text.toStdString();
    EXPECT_TRUE(text.endsWith("\r\n"));
    EXPECT_EQ(text.indexOf("\r\n", closing + 2), text.size() - 2) << "the closing line is the last";
    pollfd master{receiverEnd.Master(), POLLIN, 0};
    ASSERT_EQ(::poll(&master, 1, 1000), 1);
    EXPECT_NE(master.revents & POLLHUP, 0) << "the port was closed";
}

}  // namespace
}  // namespace vexa::test
