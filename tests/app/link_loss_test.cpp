#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QThread>
#include <filesystem>
#include <functional>
#include <memory>

#include "support/link_fixture.h"
#include "support/pseudo_terminal.h"
#include "../views/page_test_support.h"
#include "app/serial_comm_dialog.h"
#include "link/connection/link_recovery.h"
#include "ui_fixture.h"
#include "views/page_palette.h"

namespace vexa::test {
namespace {

class LinkLossTest : public UiFixture {
protected:
    // Lets the link's notifications reach the frame until `done` holds.
    static bool RunUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < timeoutMs) {
            ProcessEvents();
            QThread::msleep(5);
        }
        return done();
    }
};

// The fix status turns yellow 3 s after the last fix on the frame's one-second timer, with
// nothing else arriving from the receiver; the program's tick count is moved by the test.
TEST_F(LinkLossTest, TheFixStatusTurnsYellowOnTheRedrawTimerAloneThreeSecondsAfterTheLastFix) {
    BuildFrame();
    receiver.LinkProtocol = kBinaryProtocol;
    const NavData nav = testing_support::NavOnEquator(4);
    comm->DeliverMessage(2, reinterpret_cast<const std::uint8_t*>(&nav), sizeof nav);
    ProcessEvents();
    ASSERT_EQ(ui->FixStatusColour.name(), kPaletteGreen.name());

    now += 2999;
    frame->OnRedrawTimer();
    EXPECT_EQ(ui->FixStatusColour.name(), kPaletteGreen.name()) << "just before the limit";
    now += 1;
    frame->OnRedrawTimer();
    EXPECT_EQ(ui->FixStatusColour.name(), kPaletteYellow.name()) << "at the limit";
}

// The receiver sits behind a fixed link name. It goes away mid-stream: the program disconnects,
// says "Not connected", and on the frame's one-second timer finds it again under that name.
TEST_F(LinkLossTest, AReceiverThatGoesAwayIsShownNotConnectedAndFoundAgainWhenItIsBack) {
    const std::string linkName = settingsFolder.filePath("receiver").toStdString();
    auto first = std::make_unique<PseudoTerminal>();
    std::filesystem::create_symlink(first->SlavePath(), linkName);
    ui->ports.sysfsRoot = settingsFolder.filePath("no-sysfs").toStdString();
    ui->ports.extraPaths = {linkName};
    BuildFrame();

    CSerialCommDlg dialog(*ui, frame.get());
    dialog.PortCombo()->setCurrentIndex(0);
    dialog.BaudCombo()->setCurrentText("Auto");
    dialog.ConnectButton()->click();
    first->Send(Frame(NavPayload(5)));
    ASSERT_TRUE(RunUntil([&] { return receiver.LinkProtocol == kBinaryProtocol; }));
    dialog.OnTimer();
    ASSERT_FALSE(dialog.Controller().Testing());
    EXPECT_EQ(dialog.Controller().Status().text, "Connected (Vexa Binary)");

    first->Send(Frame(NavPayload(6)));
    first.reset();
    std::filesystem::remove(linkName);
    ASSERT_TRUE(RunUntil([&] { return frame->windowTitle() == "VexaDemoPPC - Not connected"; }));
    EXPECT_EQ(receiver.LinkProtocol, kNotConnected);
    EXPECT_EQ(dialog.Controller().Status().text, "Not connected");
    EXPECT_FALSE(frame->Action(CMainFrame::kSwitchProtocol)->isEnabled());
    frame->OnRedrawTimer();
    EXPECT_FALSE(comm->PortOpen()) << "nothing behind the name yet";

    PseudoTerminal second;
    std::filesystem::create_symlink(second.SlavePath(), linkName);
    frame->OnRedrawTimer();
    ASSERT_TRUE(comm->PortOpen());
    EXPECT_EQ(second.SlaveSpeed(), B57600) << "automatic detection, as the first time";
    second.Send(Frame(NavPayload(7)));
    ASSERT_TRUE(RunUntil([&] { return receiver.LinkProtocol == kBinaryProtocol; }));
    frame->OnRedrawTimer();
    EXPECT_EQ(frame->windowTitle(), "VexaDemoPPC");
    EXPECT_EQ(dialog.Controller().Status().text, "Connected (Vexa Binary)");

    // The user's Disconnect ends the search: a later loss is not followed.
    dialog.DisconnectButton()->click();
    frame->OnRedrawTimer();
    EXPECT_FALSE(comm->PortOpen());
    EXPECT_FALSE(ui->linkRecovery->Recovering());
}

}  // namespace
}  // namespace vexa::test
