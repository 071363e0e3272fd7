#pragma once

#include <QDialog>
#include <QTimer>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "link/connection/connection_controller.h"
#include "link/ports/port_discovery.h"
#include "link/ports/port_watch.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace vexa {

struct UiContext;

// "GPS Comm Setting": the port and baud rate lists, Connect, Disconnect and Done, the status
// line, and the buttons that add and remove network sources. The connection controller does the
// work; a one-second timer drives it while the dialog is open. The port list follows receivers
// plugged in and pulled out, keeping the port the user chose.
class CSerialCommDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTimerMs = 1000;

    // Opens with the stored port selected, or with `portToChoose` when one is given (a capture
    // just chosen for replay).
    CSerialCommDlg(UiContext& ui, QWidget* parent = nullptr, std::string portToChoose = {});
    ~CSerialCommDlg() override;

    ConnectionController& Controller() { return *controller_; }
    QComboBox* PortCombo() const { return portCombo_; }
    QComboBox* BaudCombo() const { return baudCombo_; }
    QLabel* BaudLabel() const { return baudLabel_; }
    QPushButton* ConnectButton() const { return connectButton_; }
    QPushButton* DisconnectButton() const { return disconnectButton_; }
    QPushButton* DoneButton() const { return doneButton_; }
    QPushButton* AddSourceButton() const { return addSourceButton_; }
    QTimer& Timer() { return timer_; }
    const std::vector<SerialPortEntry>& Ports() const { return ports_; }

    void OnConnect();
    void OnDisconnect();
    void OnDone();
    void OnTimer();
    // Asks for a network source, remembers it in the settings and lists and selects it.
    void OnAddSource();
    // Forgets the network source selected; the entry that takes its place is selected.
    void OnRemoveSource();
    // Lists the ports anew; the port chosen last is selected whenever it is listed.
    void RefreshPorts();

    // Closing the dialog any other way is "Done" too.
    void reject() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void FillPortCombo();
    void FillBaudCombo();
    // The port name of the entry selected; empty when none is.
    std::string SelectedPort() const;
    // Selects the entry of a port name; none when it is not listed.
    void SelectPort(std::string_view portName);
    // "Remove Source" answers only while a remembered network source is selected.
    void EnableRemoveSource();
    void ShowSettings();
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
    QPushButton* addSourceButton_;
    QPushButton* removeSourceButton_;
    QTimer timer_;
    PortWatch portWatch_;
};

}  // namespace vexa
