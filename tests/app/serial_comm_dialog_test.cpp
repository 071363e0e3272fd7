#include <QComboBox>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <filesystem>
#include <fstream>

#include "support/pseudo_terminal.h"
#include "app/serial_comm_dialog.h"
#include "ui_fixture.h"

namespace vexa::test {
namespace {

class SerialCommDialogTest : public UiFixture {
protected:
    void SetUp() override {
        comm = GpsComm::Create(receiver);
        ui->comm = comm.get();
        ui->ports.sysfsRoot = settingsFolder.filePath("no-sysfs").toStdString();
        ui->ports.extraPaths = {receiverEnd.SlavePath()};
    }
    // Waits (briefly, in real time) for the comm reader to recognise the receiver's output.
    bool WaitForProtocol(int protocol) {
        QElapsedTimer waited;
        waited.start();
        while (receiver.LinkProtocol != protocol && waited.elapsed() < 5000) {
            receiverEnd.Send(std::string("$GPGGA,1*00\r\n"));
            QThread::msleep(20);
        }
        return receiver.LinkProtocol == protocol;
    }
    QColor StatusFill(CSerialCommDlg& dialog) { return dialog.grab().toImage().pixelColor(12, 183); }

    PseudoTerminal receiverEnd;
};

TEST_F(SerialCommDialogTest, OpensWithThePortsTheRatesAndTheStoredChoice) {
    settings.m_strSerialPort = receiverEnd.SlavePath();
    settings.m_nBaudRate = 19200;
    store->SaveDisplaySettings();
    settings.m_nBaudRate = 1;

    CSerialCommDlg dialog(*ui);
    EXPECT_EQ(dialog.windowTitle(), "GPS Comm Setting");
    ASSERT_EQ(dialog.PortCombo()->count(), 1);
    EXPECT_EQ(dialog.PortCombo()->currentText().toStdString(), receiverEnd.SlavePath());
    QStringList rates;
    for (int index = 0; index < dialog.BaudCombo()->count(); ++index) rates.append(dialog.BaudCombo()->itemText(index));
    EXPECT_EQ(rates, (QStringList{"Auto", "4800", "9600", "19200", "38400", "57600", "115200", "230400", "460800", "921600"}));
    EXPECT_EQ(dialog.BaudCombo()->currentText(), "19200");
    EXPECT_TRUE(dialog.Timer().isActive());
    EXPECT_EQ(StatusFill(dialog).name(), "#ff0000");
}

TEST_F(SerialCommDialogTest, AFirstStartOffersTheFirstListedPortWithAuto) {
    PseudoTerminal simulated;
    ui->ports.simulatedReceiver = SerialPortEntry{simulated.SlavePath(), std::string(kSimulatedReceiverName)};
    CSerialCommDlg dialog(*ui);
    ASSERT_EQ(dialog.PortCombo()->count(), 2);
    EXPECT_EQ(dialog.PortCombo()->currentText(), "Simulated receiver");
    EXPECT_EQ(dialog.BaudCombo()->currentText(), "Auto");
    dialog.ConnectButton()->click();
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('|').toStdString();
    EXPECT_TRUE(dialog.Controller().Testing());
    dialog.DisconnectButton()->click();
}

TEST_F(SerialCommDialogTest, ANetworkSourceAddedIsListedSelectedAndRemembered) {
    prompts.textAnswers = {"gnss-box:4001", " tcp://gnss-box:4001 "};
    {
        CSerialCommDlg dialog(*ui);
        ASSERT_EQ(dialog.PortCombo()->count(), 1);
        dialog.AddSourceButton()->click();
        EXPECT_EQ(prompts.messages, (QStringList{"Please enter tcp://HOST:PORT or gpsd://HOST[:PORT][/DEVICE]."}));
        EXPECT_EQ(dialog.PortCombo()->count(), 1) << "what is no network source is not added";
        dialog.AddSourceButton()->click();
        ASSERT_EQ(dialog.PortCombo()->count(), 2);
        EXPECT_EQ(dialog.PortCombo()->currentText(), "tcp://gnss-box:4001");
        EXPECT_EQ(prompts.textLabels.size(), 2);
        dialog.AddSourceButton()->click();
        EXPECT_EQ(dialog.PortCombo()->count(), 2) << "a cancelled question adds nothing";
    }
    AppSettings stored;
    SettingsStore reread(stored);
    reread.LoadDisplaySettings();
    EXPECT_EQ(stored.m_networkSources, (std::vector<std::string>{"tcp://gnss-box:4001"}));

    CSerialCommDlg reopened(*ui);
    ASSERT_EQ(reopened.PortCombo()->count(), 2);
    EXPECT_EQ(reopened.PortCombo()->itemText(1), "tcp://gnss-box:4001");
}

// Only a remembered network source can be removed; the entry that takes its place is selected.
TEST_F(SerialCommDialogTest, ARememberedNetworkSourceIsRemovedByItsButton) {
    settings.m_networkSources = {"tcp://gnss-box:4001", "gpsd://base-station"};
    store->SaveDisplaySettings();
    BuildFrame(false);
    frame->show();
    QStringList listed;
    QString selected;
    answerDialog = [&](QDialog& dialog) {
        dialog.show();
        auto* ports = dialog.findChild<QComboBox*>(QStringLiteral("1000"));
        auto* remove = dialog.findChild<QPushButton*>(QStringLiteral("RemoveSource"));
        EXPECT_TRUE(remove);
        if (!remove) return int{QDialog::Rejected};
        EXPECT_EQ(ports->currentText().toStdString(), receiverEnd.SlavePath());
        EXPECT_FALSE(remove->isEnabled()) << "a serial port is no remembered source";
        QTest::keyClick(ports, Qt::Key_Down);
        EXPECT_EQ(ports->currentText(), "tcp://gnss-box:4001");
        EXPECT_TRUE(remove->isEnabled());
        QTest::mouseClick(remove, Qt::LeftButton);
        for (int index = 0; index < ports->count(); ++index) listed.append(ports->itemText(index));
        selected = ports->currentText();
        EXPECT_TRUE(remove->isEnabled()) << "the next source can go too";
        return int{QDialog::Rejected};
    };
    ChooseMenuItem(CMainFrame::kSerialComm);
    EXPECT_EQ(listed, (QStringList{QString::fromStdString(receiverEnd.SlavePath()), "gpsd://base-station"}));
    EXPECT_EQ(selected, "gpsd://base-station");
    AppSettings stored;
    SettingsStore reread(stored);
    reread.LoadDisplaySettings();
    EXPECT_EQ(stored.m_networkSources, (std::vector<std::string>{"gpsd://base-station"}));
}

TEST_F(SerialCommDialogTest, ListingThePortsAgainKeepsTheSelection) {
    settings.m_networkSources = {"gpsd://base-station"};
    store->SaveDisplaySettings();
    CSerialCommDlg dialog(*ui);
    ASSERT_EQ(dialog.PortCombo()->count(), 2);
    dialog.PortCombo()->setCurrentIndex(1);
    PseudoTerminal pluggedIn;
    ui->ports.extraPaths.insert(ui->ports.extraPaths.begin(), pluggedIn.SlavePath());
    dialog.RefreshPorts();
    ASSERT_EQ(dialog.PortCombo()->count(), 3);
    EXPECT_EQ(dialog.PortCombo()->currentText(), "gpsd://base-station");
}

// A receiver plugged in gains a tty in sysfs and then its node in the device folder; pulled out, the
// node goes. Both trees are real folders here, and the dialog hears of the node through the kernel.
TEST_F(SerialCommDialogTest, ThePortListFollowsReceiversPluggedInAndPulledOutAndKeepsTheChoice) {
    namespace fs = std::filesystem;
    const fs::path sys = settingsFolder.filePath("sys").toStdString();
    const fs::path dev = settingsFolder.filePath("dev").toStdString();
    fs::create_directories(dev);
    const auto plugIn = [&](const std::string& name) {
        fs::create_directories(sys / "class" / "tty" / name);
        std::ofstream(dev / name).put('\n');
    };
    ui->ports.sysfsRoot = sys;
    ui->ports.devRoot = dev;
    plugIn("ttyUSB0");
    const QString first = QString::fromStdString((dev / "ttyUSB0").string());
    const auto listed = [](CSerialCommDlg& dialog, int count) {
        QElapsedTimer waited;
        waited.start();
        while (dialog.PortCombo()->count() != count && waited.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        return dialog.PortCombo()->count() == count;
    };

    CSerialCommDlg dialog(*ui);
    ASSERT_EQ(dialog.PortCombo()->count(), 2);
    dialog.PortCombo()->setCurrentText(first);

    plugIn("ttyUSB1");
    ASSERT_TRUE(listed(dialog, 3));
    EXPECT_EQ(dialog.PortCombo()->itemText(2).toStdString(), (dev / "ttyUSB1").string());
    EXPECT_EQ(dialog.PortCombo()->currentText(), first) << "the choice stays";

    fs::remove(dev / "ttyUSB0");
    ASSERT_TRUE(listed(dialog, 2));
    EXPECT_EQ(dialog.PortCombo()->currentIndex(), -1) << "the chosen receiver is away";
    plugIn("ttyUSB0");
    ASSERT_TRUE(listed(dialog, 3));
    EXPECT_EQ(dialog.PortCombo()->currentText(), first) << "and chosen again when it is back";
}

TEST_F(SerialCommDialogTest, TheOspreyHasNoBaudChoice) {
    receiver.ProductSelection = kOsprey;
    CSerialCommDlg dialog(*ui);
    EXPECT_TRUE(dialog.BaudCombo()->isHidden());
    EXPECT_TRUE(dialog.BaudLabel()->isHidden());
}

TEST_F(SerialCommDialogTest, ConnectWatchesUntilTheReceiverAnswersThenSavesTheChoice) {
    CSerialCommDlg dialog(*ui);
    dialog.PortCombo()->setCurrentIndex(0);
    dialog.BaudCombo()->setCurrentText("4800");
    dialog.ConnectButton()->click();
    ASSERT_TRUE(dialog.Controller().Testing());
    EXPECT_EQ(StatusFill(dialog).name(), "#ffff00");

    dialog.DoneButton()->click();
    dialog.DisconnectButton()->click();
    EXPECT_EQ(prompts.messages, (QStringList{"Please wait.", "Please wait."}));
    EXPECT_TRUE(dialog.Timer().isActive());

    ASSERT_TRUE(WaitForProtocol(kNmeaProtocol));
    dialog.OnTimer();
    EXPECT_FALSE(dialog.Controller().Testing());
    EXPECT_EQ(StatusFill(dialog).name(), "#00ff00");
    AppSettings stored;
    SettingsStore reread(stored);
    reread.LoadDisplaySettings();
    EXPECT_EQ(stored.m_nBaudRate, 4800);
    EXPECT_EQ(stored.m_strSerialPort, receiverEnd.SlavePath());

    dialog.DisconnectButton()->click();
    EXPECT_EQ(receiver.LinkProtocol, kNotConnected);
    EXPECT_EQ(receiver.DebugToggleCount, 10);
    dialog.DoneButton()->click();
    EXPECT_FALSE(dialog.Timer().isActive());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(SerialCommDialogTest, APortThatCannotBeOpenedIsExplainedInTheMessageBox) {
    const std::string unplugged = settingsFolder.filePath("ttyVexa7").toStdString();
    ui->ports.extraPaths = {unplugged, receiverEnd.SlavePath()};
    CSerialCommDlg dialog(*ui);
    dialog.PortCombo()->setCurrentIndex(0);
    dialog.ConnectButton()->click();
    EXPECT_EQ(prompts.messages, QStringList{QString::fromStdString("Could not open specified port. \n" + unplugged +
                                                                   ": No such file or directory.\n"
                                                                   "The serial ports found:\n  " +
                                                                   receiverEnd.SlavePath())});
    EXPECT_FALSE(dialog.Controller().Testing());
}

TEST_F(SerialCommDialogTest, AnEmptyPortIsRefused) {
    CSerialCommDlg dialog(*ui);
    dialog.PortCombo()->setCurrentIndex(-1);
    dialog.ConnectButton()->click();
    EXPECT_EQ(prompts.messages, QStringList{"Please enter all fields."});
    EXPECT_FALSE(dialog.Controller().Testing());
}

}  // namespace
}  // namespace vexa::test
