#include "app/serial_comm_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSocketNotifier>
#include <algorithm>
#include <optional>

#include "link/connection/baud_settings.h"
#include "link/gps_comm.h"
#include "link/connection/link_recovery.h"
#include "link/sources/source_names.h"
#include "platform/result_codes.h"
#include "uicore/prompts.h"
#include "uicore/ui_context.h"

namespace vexa {

namespace {

// Stands in for the receiver link when it could not be created: no port ever opens.
class MissingLink : public LinkConnection {
public:
    LinkResult Connect(const std::string&, int) override { return kResultCommFailure; }
    LinkResult Disconnect() override { return kResultOk; }
};

QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QRect FromEdges(int left, int top, int right, int bottom) { return QRect(left, top, right - left, bottom - top); }

}  // namespace

CSerialCommDlg::CSerialCommDlg(UiContext& ui, QWidget* parent, std::string portToChoose)
    : QDialog(parent),
      ui_(ui),
      portCombo_(new QComboBox(this)),
      baudCombo_(new QComboBox(this)),
      baudLabel_(new QLabel(QStringLiteral("Baud Rate:"), this)),
      connectButton_(new QPushButton(QStringLiteral("Connect"), this)),
      disconnectButton_(new QPushButton(QStringLiteral("Disconnect"), this)),
      doneButton_(new QPushButton(QStringLiteral("Done"), this)),
      addSourceButton_(new QPushButton(QStringLiteral("Add Network Source..."), this)),
      removeSourceButton_(new QPushButton(QStringLiteral("Remove Source"), this)),
      portWatch_(ui.ports.devRoot) {
    setObjectName(QStringLiteral("135"));
    setWindowTitle(QStringLiteral("GPS Comm Setting"));
    setFixedSize(240, 268);
    QFont dialogFont(QStringLiteral("Arial"));
    dialogFont.setPixelSize(12);
    setFont(dialogFont);

    auto* portLabel = new QLabel(QStringLiteral("Port:"), this);
    portLabel->setGeometry(FromEdges(10, 12, 80, 30));
    portCombo_->setObjectName(QStringLiteral("1000"));
    portCombo_->setGeometry(FromEdges(80, 10, 230, 34));
    baudLabel_->setObjectName(QStringLiteral("1002"));
    baudLabel_->setGeometry(FromEdges(10, 52, 80, 70));
    baudCombo_->setObjectName(QStringLiteral("1001"));
    baudCombo_->setGeometry(FromEdges(80, 50, 230, 74));
    connectButton_->setObjectName(QStringLiteral("1004"));
    connectButton_->setGeometry(FromEdges(10, 100, 80, 126));
    disconnectButton_->setObjectName(QStringLiteral("1003"));
    disconnectButton_->setGeometry(FromEdges(85, 100, 160, 126));
    doneButton_->setObjectName(QStringLiteral("Done"));
    doneButton_->setGeometry(FromEdges(165, 100, 230, 126));
    doneButton_->setDefault(true);
    addSourceButton_->setObjectName(QStringLiteral("AddSource"));
    addSourceButton_->setGeometry(FromEdges(10, 200, 230, 226));
    removeSourceButton_->setObjectName(QStringLiteral("RemoveSource"));
    removeSourceButton_->setGeometry(FromEdges(10, 232, 230, 258));

    ConnectionCallbacks callbacks;
    callbacks.showMessage = [this](std::string_view text) { ui_.prompts.ShowMessage(this, FromUtf8(text)); };
    callbacks.saveSettings = [this](const std::string& portPath, int baudSetting) {
        ui_.Settings().m_strSerialPort = portPath;
        ui_.Settings().m_nBaudRate = baudSetting;
        ui_.store.SaveDisplaySettings();
    };
    callbacks.showSettings = [this] { ShowSettings(); };
    callbacks.repaint = [this] { update(); };
    callbacks.connected = [this](const std::string& portPath, int chosenBaudSetting) {
        if (ui_.linkRecovery) ui_.linkRecovery->Remember(portPath, chosenBaudSetting);
    };
    LinkConnection* link = ui_.comm;
    if (!link) {
        missingLink_ = std::make_unique<MissingLink>();
        link = missingLink_.get();
    }
    controller_ = std::make_unique<ConnectionController>(*link, ui_.receiver, std::move(callbacks), ui_.ports);

    ui_.store.LoadDisplaySettings();
    timer_.setInterval(kTimerMs);
    connect(&timer_, &QTimer::timeout, this, &CSerialCommDlg::OnTimer);
    timer_.start();

    ui_.ports.networkSources = ui_.Settings().m_networkSources;
    FillPortCombo();
    FillBaudCombo();
    // Chosen after the settings are loaded, which would otherwise put the stored port back.
    std::string portPath = portToChoose.empty() ? ui_.Settings().m_strSerialPort : std::move(portToChoose);
    int baudSetting = ui_.Settings().m_nBaudRate;
    // On a first start nothing is stored yet: the first port listed with automatic detection,
    // so that Connect simply works.
    if (portPath.empty() && !ports_.empty()) {
        portPath = ports_.front().devicePath;
        baudSetting = kAutoBaud;
    }
    controller_->LoadSettings(portPath, baudSetting);
    ShowSettings();

    connect(portCombo_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) chosenPortPath_ = ports_[static_cast<std::size_t>(index)].devicePath;
        EnableRemoveSource();
    });
    if (portWatch_.Watching()) {
        auto* portNotifier = new QSocketNotifier(portWatch_.Descriptor(), QSocketNotifier::Read, this);
        connect(portNotifier, &QSocketNotifier::activated, this, &CSerialCommDlg::OnPortsChanged);
    }
    connect(connectButton_, &QPushButton::clicked, this, &CSerialCommDlg::OnConnect);
    connect(disconnectButton_, &QPushButton::clicked, this, &CSerialCommDlg::OnDisconnect);
    connect(doneButton_, &QPushButton::clicked, this, &CSerialCommDlg::OnDone);
    connect(addSourceButton_, &QPushButton::clicked, this, &CSerialCommDlg::OnAddSource);
    connect(removeSourceButton_, &QPushButton::clicked, this, &CSerialCommDlg::OnRemoveSource);
}

// The combo's own signal stays quiet while it is refilled, so the port the user chose is kept.
void CSerialCommDlg::FillPortCombo() {
    ports_ = DiscoverPorts(ui_.ports);
    const QSignalBlocker quiet(portCombo_);
    portCombo_->clear();
    for (const SerialPortEntry& port : ports_) portCombo_->addItem(QString::fromStdString(port.displayName));
}

std::string CSerialCommDlg::SelectedPort() const {
    const SerialPortEntry* port = FindPortByDisplayName(ports_, portCombo_->currentText().toStdString());
    return port ? port->devicePath : std::string();
}

void CSerialCommDlg::SelectPort(std::string_view portName) {
    chosenPortPath_ = portName;
    const SerialPortEntry* port = FindPortByDevicePath(ports_, portName);
    const QSignalBlocker quiet(portCombo_);
    portCombo_->setCurrentIndex(port ? static_cast<int>(port - ports_.data()) : -1);
    EnableRemoveSource();
}

void CSerialCommDlg::EnableRemoveSource() {
    const std::vector<std::string>& sources = ui_.Settings().m_networkSources;
    removeSourceButton_->setEnabled(std::find(sources.begin(), sources.end(), SelectedPort()) != sources.end());
}

void CSerialCommDlg::RefreshPorts() {
    const std::string chosen = chosenPortPath_;
    FillPortCombo();
    SelectPort(chosen);
}

// The new source is remembered at once (the oldest goes when the list is full) and selected, so
// that Connect tries it.
void CSerialCommDlg::OnAddSource() {
    const std::optional<QString> answer = ui_.prompts.GetText(this, QStringLiteral("Add Network Source"),
                                                              QStringLiteral("tcp://HOST:PORT or gpsd://HOST[:PORT][/DEVICE]"));
    if (!answer) return;
    const std::string name = answer->trimmed().toStdString();
    if (!IsNetworkSourceName(name)) {
        ui_.prompts.ShowMessage(this, QStringLiteral("Please enter tcp://HOST:PORT or gpsd://HOST[:PORT][/DEVICE]."));
        return;
    }
    std::vector<std::string>& sources = ui_.Settings().m_networkSources;
    if (std::find(sources.begin(), sources.end(), name) == sources.end()) {
        sources.push_back(name);
        if (sources.size() > kMaxListedPorts) sources.erase(sources.begin());
        ui_.store.SaveDisplaySettings();
    }
    ui_.ports.networkSources = sources;
    FillPortCombo();
    SelectPort(name);
}

void CSerialCommDlg::OnRemoveSource() {
    std::vector<std::string>& sources = ui_.Settings().m_networkSources;
    const auto source = std::find(sources.begin(), sources.end(), SelectedPort());
    if (source == sources.end()) return;
    const auto place = static_cast<std::size_t>(portCombo_->currentIndex());
    sources.erase(source);
    ui_.store.SaveDisplaySettings();
    ui_.ports.networkSources = sources;
    FillPortCombo();
    SelectPort(ports_.empty() ? std::string() : ports_[std::min(place, ports_.size() - 1)].devicePath);
}

CSerialCommDlg::~CSerialCommDlg() = default;

void CSerialCommDlg::FillBaudCombo() {
    const BaudComboContent content = BaudComboForProduct(ui_.receiver.ProductSelection);
    switch (content.visibility) {
    case BaudComboVisibility::kShown:
        for (std::string_view entry : content.entries) baudCombo_->addItem(FromUtf8(entry));
        break;
    case BaudComboVisibility::kHidden:
        baudCombo_->hide();
        baudLabel_->hide();
        break;
    case BaudComboVisibility::kUnchanged: break;
    }
}

void CSerialCommDlg::OnPortsChanged() {
    if (portWatch_.Changed()) RefreshPorts();
}

void CSerialCommDlg::ShowSettings() {
    SelectPort(controller_->PortPath());
    baudCombo_->setCurrentIndex(baudCombo_->findText(QString::fromStdString(BaudSettingText(controller_->BaudSetting()))));
}

// The user's own Connect and Disconnect end the search for a receiver that went away.
void CSerialCommDlg::OnConnect() {
    if (!controller_->Testing() && ui_.linkRecovery) ui_.linkRecovery->Stop();
    controller_->Connect(SelectedPort(), baudCombo_->currentText().toStdString());
}

void CSerialCommDlg::OnDisconnect() {
    if (!controller_->Testing() && ui_.linkRecovery) ui_.linkRecovery->Stop();
    controller_->Disconnect();
}

void CSerialCommDlg::OnDone() {
    if (!controller_->Done()) return;
    timer_.stop();
    accept();
}

void CSerialCommDlg::reject() { OnDone(); }

// Repainted every second: a receiver lost or found again changes the status line too.
void CSerialCommDlg::OnTimer() {
    controller_->Tick();
    update();
}

// A lost receiver that is being looked for shows why it was lost, or why the last attempt failed.
void CSerialCommDlg::paintEvent(QPaintEvent*) {
    const bool recovering = !controller_->Testing() && ui_.linkRecovery && ui_.linkRecovery->Recovering();
    const StatusLine status = recovering ? ui_.linkRecovery->Status() : controller_->Status();
    QPainter painter(this);
    painter.fillRect(FromEdges(kStatusRect.left, kStatusRect.top, kStatusRect.right, kStatusRect.bottom),
                     QColor(status.fill.red, status.fill.green, status.fill.blue));
    if (status.text.empty()) return;
    painter.setPen(QColor(0, 0, 0));
    const QRect textRect(status.textX, kStatusTextY, kStatusRect.right - status.textX, kStatusRect.bottom - kStatusTextY);
    // A reason longer than the line ends in an ellipsis.
    const QString text = painter.fontMetrics().elidedText(FromUtf8(status.text), Qt::ElideRight, textRect.width());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop, text);
}

}  // namespace vexa
