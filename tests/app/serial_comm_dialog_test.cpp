#include <QComboBox>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QThread>

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
    EXPECT_EQ(rates, (QStringList{"Auto", "4800", "9600", "19200", "38400", "57600", "115200"}));
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
