#pragma once

#include <QDialog>
#include <QTimer>
#include <memory>
#include <vector>

#include "link/connection_controller.h"
#include "link/port_discovery.h"
#include "link/port_watch.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace vexa {

struct UiContext;

// "GPS Comm Setting": the port and baud rate lists, Connect, Disconnect and Done, and the
// status line. The connection controller does the work; a one-second timer drives it while
// the dialog is open. The port list follows receivers plugged in and pulled out, keeping the
// port the user chose.
class CSerialCommDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTimerMs = 1000;

    CSerialCommDlg(UiContext& ui, QWidget* parent = nullptr);
    ~CSerialCommDlg() override;

    ConnectionController& Controller() { return *controller_; }
    QComboBox* PortCombo() const { return portCombo_; }
    QComboBox* BaudCombo() const { return baudCombo_; }
    QLabel* BaudLabel() const { return baudLabel_; }
    QPushButton* ConnectButton() const { return connectButton_; }
    QPushButton* DisconnectButton() const { return disconnectButton_; }
    QPushButton* DoneButton() const { return doneButton_; }
    QTimer& Timer() { return timer_; }
    const std::vector<SerialPortEntry>& Ports() const { return ports_; }

    void OnConnect();
    void OnDisconnect();
    void OnDone();
    void OnTimer();

    // Closing the dialog any other way is "Done" too.
    void reject() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void FillBaudCombo();
    void ShowSettings();
    void FillPortCombo();
    void OnPortsChanged();

    UiContext& ui_;
    std::unique_ptr<LinkConnection> missingLink_;
    std::unique_ptr<ConnectionController> controller_;
    std::vector<SerialPortEntry> ports_;
    std::string chosenPortPath_;  // kept while its port is away, chosen again when it returns
    QComboBox* portCombo_;
    QComboBox* baudCombo_;
    QLabel* baudLabel_;
    QPushButton* connectButton_;
    QPushButton* disconnectButton_;
    QPushButton* doneButton_;
    QTimer timer_;
    PortWatch portWatch_;
};

}  // namespace vexa
