#include "app/main_frame.h"

#include <QCoreApplication>
#include <QMenuBar>
#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <string>
#include <string_view>
#include <vector>

#include "app/about_dialog.h"
#include "app/demo_tab_view.h"
#include "app/history_items.h"
#include "app/notify_bridge.h"
#include "app/product_dialog.h"
#include "app/serial_comm_dialog.h"
#include "link/gps_comm.h"
#include "link/connection/link_recovery.h"
#include "link/model/poll_answer_text.h"
#include "link/receiver_commands.h"
#include "link/recording/track_export.h"
#include "link/sources/replay_name.h"
#include "link/sources/replay_source.h"
#include "platform/file_problem.h"
#include "platform/result_codes.h"
#include "uicore/feed_doc.h"
#include "uicore/prompts.h"
#include "uicore/ui_context.h"
#include "receiver/binary/message_ids.h"
#include "receiver/product/product_table.h"
#include "views/debug_data_view.h"
#include "views/graphic/view_map.h"

namespace vexa {

namespace {

constexpr std::array<std::uint8_t, 4> kNmeaTunnelSettings{0x01, 0x01, 0x05, 0x01};

// The Command popup's positions: with the two dialogs it has ten items, with the NMEA Channel toggle eight.
constexpr int kDialogsCommandItems = 10;
constexpr int kNmeaChannelCommandItems = 8;
constexpr int kFirstDialogItem = 7;

const QString kWindowTitle = QStringLiteral("VexaDemoPPC");
const QString kLostWindowTitle = QStringLiteral("VexaDemoPPC - Not connected");
const QString kDisconnectFirst = QStringLiteral("Please disconnect from GPS receiver first.");
const QString kCouldNotOpenLog = QStringLiteral("Could not open specified file. Please try again.");
const QString kNoTrackYet = QStringLiteral("There is no track to export: no fix with a position has arrived yet.");
const QString kTrackNotWritten = QStringLiteral("The track could not be written.");
const QString kCouldNotReplay = QStringLiteral("Could not replay the capture.");
const QString kCouldNotCreateRecording = QStringLiteral("Could not create the recording. Please try again.");

// The receiver's 8-bit text as the boxes show it.
QString Latin1(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

CMainFrame::CMainFrame(UiContext& ui, CFeedDoc& doc, NotifyBridge& bridge)
    : ui_(ui), doc_(doc), tabHost_(new CDemoTabView(ui, doc)), history_(std::make_unique<HistoryItems>(ui, this)) {
    setWindowTitle(kWindowTitle);
    BuildMenus();
    tabHost_->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(tabHost_);

    connect(&bridge, &NotifyBridge::Notified, this, &CMainFrame::OnLinkNotification);
    if (ui_.comm) {
        ui_.comm->SetNotifyWindow(&bridge);
        recovery_ = std::make_unique<LinkRecovery>(*ui_.comm, ui_.receiver, [this] { ShowConnectionState(); });
        ui_.linkRecovery = recovery_.get();
    }

    redrawTimer_.setInterval(kRedrawTimerMs);
    connect(&redrawTimer_, &QTimer::timeout, this, &CMainFrame::OnRedrawTimer);
    redrawTimer_.start();
    UpdateMenuStates();
}

CMainFrame::~CMainFrame() {
    redrawTimer_.stop();
    ui_.linkRecovery = nullptr;
    if (ui_.comm) ui_.comm->SetNotifyWindow(nullptr);
}

QAction* CMainFrame::AddItem(QMenu* menu, const QString& text, int id) {
    auto* action = new QAction(text, this);
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    actions_[id] = action;
    if (menu) menu->addAction(action);
    return action;
}

void CMainFrame::BuildMenus() {
    QMenu* setup = menuBar()->addMenu(QStringLiteral("Setup"));
    AddItem(setup, QStringLiteral("Select Product..."), kSelectProduct);
    AddItem(setup, QStringLiteral("Serial Comm..."), kSerialComm);
    AddItem(setup, QStringLiteral("Replay capture..."), kReplayCapture);
    AddItem(setup, QStringLiteral("Switch to NMEA"), kSwitchProtocol);
    AddItem(setup, QStringLiteral("Load Map..."), kLoadMap);
    AddItem(setup, QStringLiteral("Start Logging..."), kLogging);
    AddItem(setup, QStringLiteral("Export Track..."), kExportTrack);
    AddItem(setup, QStringLiteral("History..."), kHistory);
    AddItem(setup, QStringLiteral("Export History..."), kExportHistory);
    AddItem(setup, QStringLiteral("Start Recording..."), kRecording);
    AddItem(setup, QStringLiteral("Exit"), kExit);

    commandMenu_ = menuBar()->addMenu(QStringLiteral("Command"));
    AddItem(commandMenu_, QStringLiteral("Hot Start"), kHotStart);
    AddItem(commandMenu_, QStringLiteral("Warm Start"), kWarmStart);
    AddItem(commandMenu_, QStringLiteral("Cold Start"), kColdStart);
    AddItem(commandMenu_, QStringLiteral("Factory Reset"), kFactoryReset);
    commandMenu_->addSeparator();
    AddItem(commandMenu_, QStringLiteral("Debug Data Output"), kDebugOutput)->setCheckable(true);
    AddItem(commandMenu_, QStringLiteral("Nav Library Output"), kNavLibOutput)->setCheckable(true);
    commandSeparator_ = commandMenu_->addSeparator();
    AddItem(commandMenu_, QStringLiteral("Power Management..."), kPowerManagement);
    AddItem(commandMenu_, QStringLiteral("SV Elevation Mask..."), kElevationMask);
    AddItem(nullptr, QStringLiteral("NMEA Channel"), kNmeaChannel)->setCheckable(true);

    QMenu* poll = menuBar()->addMenu(QStringLiteral("Poll"));
    AddItem(poll, QStringLiteral("SW Version"), kSwVersion);
    AddItem(poll, QStringLiteral("Clock Status"), kClockStatus);

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    AddItem(help, QStringLiteral("About"), kAbout);

    for (QMenu* menu : {setup, commandMenu_, poll, help}) {
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateMenuStates);
    }
}

QAction* CMainFrame::Action(int id) const {
    const auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second;
}

void CMainFrame::UpdateMenuStates() {
    const int protocol = ui_.receiver.LinkProtocol;
    const bool binary = protocol == kBinaryProtocol;
    for (int id : {kHotStart, kWarmStart, kColdStart, kFactoryReset, kDebugOutput, kNavLibOutput, kNmeaChannel,
                   kPowerManagement, kElevationMask, kSwVersion, kClockStatus}) {
        Action(id)->setEnabled(binary);
    }
    // A disabled toggle shows no check mark.
    Action(kDebugOutput)->setChecked(binary && ui_.receiver.DebugToggleCount > kDebugToggleThreshold);
    Action(kNavLibOutput)->setChecked(binary && ui_.receiver.NavLibToggleCount > kNavLibToggleThreshold);
    Action(kNmeaChannel)->setChecked(binary && ui_.receiver.NmeaChannelCount > kNmeaChannelToggleThreshold);

    QAction* switchItem = Action(kSwitchProtocol);
    switchItem->setEnabled(protocol != kNotConnected);
    if (const ProductTraits* product = SupportedProduct(ui_.receiver.ProductSelection.load())) {
        const QString binaryName = QString::fromLatin1(product->binaryProtocolName.data(),
                                                       static_cast<qsizetype>(product->binaryProtocolName.size()));
        switchItem->setText(protocol == kNmeaProtocol ? QStringLiteral("Switch to ") + binaryName
                                                      : QStringLiteral("Switch to NMEA"));
    }
    const bool logging = ui_.comm && ui_.comm->IsLogOpen();
    Action(kLogging)->setText(logging ? QStringLiteral("Stop Logging") : QStringLiteral("Start Logging..."));
    const bool recording = ui_.comm && ui_.comm->IsRecording();
    Action(kRecording)->setText(recording ? QStringLiteral("Stop Recording") : QStringLiteral("Start Recording..."));
    Action(kRecording)->setEnabled(ui_.comm != nullptr);
}

void CMainFrame::RunCommand(int id) {
    if (IsReceiverCommand(id) && CommandsRefused()) return;
    switch (id) {
    case kSelectProduct: OnSelectProduct(); break;
    case kSerialComm: OnSerialComm(); break;
    case kSwitchProtocol: OnSwitchProtocol(); break;
    case kLoadMap: OnLoadMap(); break;
    case kLogging: OnLogging(); break;
    case kExportTrack: OnExportTrack(); break;
    case kRecording: OnRecording(); break;
    case kReplayCapture: OnReplayCapture(); break;
    case kHistory: history_->ShowWindow(); break;
    case kExportHistory: history_->Export(); break;
    case kExit: OnExit(); break;
    case kHotStart: Reset(ResetKind::Hot); break;
    case kWarmStart: Reset(ResetKind::Warm); break;
    case kColdStart: Reset(ResetKind::Cold); break;
    case kFactoryReset: Reset(ResetKind::Factory); break;
    case kDebugOutput:
        if (ui_.comm) ToggleDebugOutput(*ui_.comm);
        break;
    case kNavLibOutput:
        if (ui_.comm) ToggleNavLibOutput(*ui_.comm);
        break;
    case kNmeaChannel: OnNmeaChannel(); break;
    case kPowerManagement:
        if (ui_.showPowerManagement) ui_.showPowerManagement(this);
        break;
    case kElevationMask:
        if (ui_.showElevationMask) ui_.showElevationMask(this);
        break;
    case kSwVersion: OnSwVersion(); break;
    case kClockStatus: OnClockStatus(); break;
    case kAbout: OnAbout(); break;
    default: break;
    }
    UpdateMenuStates();
}

bool CMainFrame::IsReceiverCommand(int id) {
    switch (id) {
    case kSwitchProtocol:
    case kHotStart:
    case kWarmStart:
    case kColdStart:
    case kFactoryReset:
    case kDebugOutput:
    case kNavLibOutput:
    case kNmeaChannel:
    case kPowerManagement:
    case kElevationMask:
    case kSwVersion:
    case kClockStatus: return true;
    default: return false;
    }
}

// A source that cannot write to the receiver (one shared through gpsd) says why instead.
bool CMainFrame::CommandsRefused() {
    if (!ui_.comm) return false;
    const std::optional<std::string> reason = ui_.comm->CommandsRefused();
    if (!reason) return false;
    ui_.prompts.ShowMessage(this, QString::fromStdString(*reason));
    return true;
}

void CMainFrame::OnSelectProduct() {
    if (ui_.receiver.LinkProtocol != kNotConnected) {
        ui_.prompts.ShowMessage(this, kDisconnectFirst);
        return;
    }
    CProductSelDlg dialog(ui_.receiver.ProductSelection, this);
    if (ui_.RunModal(dialog) == QDialog::Accepted) ui_.receiver.ProductSelection = dialog.Selection();
    AdaptCommandMenu();
    if (ui_.productChanged) ui_.productChanged();
}

void CMainFrame::AdaptCommandMenu() {
    const QList<QAction*> items = commandMenu_->actions();
    const ProductTraits* product = SupportedProduct(ui_.receiver.ProductSelection.load());
    if (product == nullptr) return;
    switch (product->commandMenu) {
    case CommandMenuLayout::PowerAndElevationDialogs:
        if (items.size() != kNmeaChannelCommandItems) return;
        commandMenu_->removeAction(items[kFirstDialogItem]);
        commandMenu_->addAction(commandSeparator_);
        commandMenu_->addAction(Action(kPowerManagement));
        commandMenu_->addAction(Action(kElevationMask));
        break;
    case CommandMenuLayout::NmeaChannelToggle:
        if (items.size() != kDialogsCommandItems) return;
        for (int position = kDialogsCommandItems - 1; position >= kFirstDialogItem; --position) {
            commandMenu_->removeAction(items[position]);
        }
        commandMenu_->addAction(Action(kNmeaChannel));
        break;
    }
}

void CMainFrame::OnSerialComm(const std::string& portToChoose) {
    CSerialCommDlg dialog(ui_, this, portToChoose);
    ui_.RunModal(dialog);
}

void CMainFrame::OnSwitchProtocol() {
    const int protocol = ui_.receiver.LinkProtocol;
    if (protocol == kNotConnected || !ui_.comm) return;
    ProtocolSwitchHooks hooks;
    hooks.saveBaud = [this](int baud) {
        ui_.Settings().m_nBaudRate = baud;
        ui_.store.SaveDisplaySettings();
        if (recovery_) recovery_->BaudChanged(baud);
    };
    hooks.wait = ui_.protocolSwitchWait;
    SwitchProtocol(*ui_.comm, hooks);
    if (!tabHost_) return;
    tabHost_->TextView()->ClearList();
    tabHost_->SelectTab(protocol == kBinaryProtocol ? CDemoTabView::kText : CDemoTabView::kPosition);
}

void CMainFrame::OnLoadMap() {
    CViewMap* map = tabHost_->MapPage();
    if (!map) return;
    map->CartexView()->LoadMap();
    map->update();
}

void CMainFrame::OnLogging() {
    if (!ui_.comm) return;
    if (ui_.comm->IsLogOpen()) {
        ui_.comm->CloseLog();
        return;
    }
    FileRequest request;
    request.title = QStringLiteral("Specify a Name for the Log File");
    request.nameFilters = {QStringLiteral("GPS Files (*.gps)"), QStringLiteral("Log Files (*.log)"),
                           QStringLiteral("Txt Files (*.txt)"), QStringLiteral("All Files (*)")};
    for (;;) {
        request.initialName = QString::fromStdString(ui_.Settings().m_strLogFileName);
        const std::optional<QString> path = ui_.prompts.GetSaveFileName(this, request);
        if (!path) return;
        ui_.Settings().m_strLogFileName = path->toStdString();
        if (ui_.comm->OpenLog(ui_.Settings().m_strLogFileName) == kResultOk) break;
        const std::string reason = FileErrorText(ui_.Settings().m_strLogFileName, errno);
        ui_.prompts.ShowMessage(this, kCouldNotOpenLog + QStringLiteral("\n") + QString::fromStdString(reason));
    }
    ui_.store.SaveLogFileName();
}

// Every fix with a position so far, as a GPX track in the file the user names.
void CMainFrame::OnExportTrack() {
    if (!ui_.comm) return;
    const std::vector<TrackPoint> track = ui_.comm->Track();
    if (track.empty()) {
        ui_.prompts.ShowMessage(this, kNoTrackYet);
        return;
    }
    FileRequest request;
    request.title = QStringLiteral("Export Track");
    request.nameFilters = {QStringLiteral("GPX Files (*.gpx)"), QStringLiteral("All Files (*)")};
    request.initialName = QStringLiteral("track.gpx");
    request.defaultExtension = QStringLiteral("gpx");
    const std::optional<QString> path = ui_.prompts.GetSaveFileName(this, request);
    if (!path) return;
    const std::string why = ExportGpxTrack(path->toStdString(), track);
    if (!why.empty()) ui_.prompts.ShowMessage(this, kTrackNotWritten + QStringLiteral("\n") + QString::fromStdString(why));
}

// Raw recording, beside the data log: every byte from the receiver, unchanged, for replay and decoding.
void CMainFrame::OnRecording() {
    if (!ui_.comm) return;
    if (ui_.comm->IsRecording()) {
        ui_.comm->StopRecording();
        return;
    }
    FileRequest request;
    request.title = QStringLiteral("Specify a Name for the Recording");
    request.nameFilters = {QStringLiteral("Raw Captures (*.bin)"), QStringLiteral("All Files (*)")};
    for (;;) {
        request.initialName = recordingPath_;
        const std::optional<QString> path = ui_.prompts.GetSaveFileName(this, request);
        if (!path) return;
        recordingPath_ = *path;
        const int error = ui_.comm->StartRecording(path->toStdString());
        if (error == 0) return;
        const std::string reason = FileErrorText(path->toStdString(), error);
        ui_.prompts.ShowMessage(this, kCouldNotCreateRecording + QStringLiteral("\n") + QString::fromStdString(reason));
    }
}

// A capture becomes a port of the Serial Comm list ("replay:PATH"), chosen there for the connection.
void CMainFrame::OnReplayCapture() {
    FileRequest request;
    request.title = QStringLiteral("Choose a Capture to Replay");
    request.nameFilters = {QStringLiteral("Raw Captures (*.bin)"), QStringLiteral("All Files (*)")};
    request.initialName = recordingPath_;
    const std::optional<QString> path = ui_.prompts.GetOpenFileName(this, request);
    if (!path) return;
    const std::string name = MakeReplayName(path->toStdString(), ReplayPace{});
    ReplaySource capture(name);
    if (capture.Open(0) != kResultOk) {
        ui_.prompts.ShowMessage(this, kCouldNotReplay + QStringLiteral("\n") + QString::fromStdString(capture.OpenProblem()));
        return;
    }
    std::vector<std::string>& listed = ui_.ports.extraPaths;
    listed.erase(std::remove(listed.begin(), listed.end(), name), listed.end());
    listed.insert(listed.begin(), name);
    OnSerialComm(name);
}

// The window closes through the normal shut-down before the program ends with code 0.
void CMainFrame::OnExit() {
    close();
    QCoreApplication::exit(0);
}

void CMainFrame::Reset(ResetKind kind) {
    if (ui_.comm) SendReset(*ui_.comm, kind);
}

void CMainFrame::OnNmeaChannel() {
    std::atomic<int>& count = ui_.receiver.NmeaChannelCount;
    const bool enable = count <= kNmeaChannelToggleThreshold;
    count = enable ? std::max(count.load(), kNmeaChannelToggleThreshold) : 0;
    if (ui_.comm && ui_.setNmeaTunnel) ui_.setNmeaTunnel(enable, kNmeaTunnelSettings);
}

void CMainFrame::OnSwVersion() {
    if (!ui_.comm) return;
    PollSoftwareVersion(*ui_.comm);
    ui_.SwVersionPending = true;
}

void CMainFrame::OnClockStatus() {
    if (!ui_.comm) return;
    PollClockStatus(*ui_.comm);
    ui_.ClockStatusPending = true;
}

void CMainFrame::OnAbout() {
    CAboutDlg dialog(this);
    ui_.RunModal(dialog);
}

void CMainFrame::OnLinkNotification(const Notification& notification) {
    if (notification.message == kNotifyShowMessage) {
        ui_.prompts.ShowMessage(this, QString::fromStdString(notification.text));
        return;
    }
    if (notification.message == kNotifyLinkLost) {
        OnLinkLost();
        return;
    }
    if (notification.message != kNotifyMessageDelivered || !ui_.comm) return;
    const int kind = static_cast<int>(notification.wParam);
    doc_.UpdateAllViews(kind);
    if (kind == ToWire(MessageId::SwVersion) && ui_.SwVersionPending) ShowSwVersion();
    if (kind == ToWire(MessageId::ClockStatus) && ui_.ClockStatusPending) ShowClockStatus();
}

void CMainFrame::ShowSwVersion() {
    ui_.SwVersionPending = false;
    const std::string text = SwVersionText(ui_.comm->SoftwareVersion());
    ui_.prompts.ShowCaptionedMessage(this, Latin1(kSwVersionCaption), Latin1(text));
}

void CMainFrame::ShowClockStatus() {
    ui_.ClockStatusPending = false;
    const std::string text = ClockStatusText(ui_.comm->ClockStatusReport());
    ui_.prompts.ShowCaptionedMessage(this, Latin1(kClockStatusCaption), Latin1(text));
}

void CMainFrame::OnLinkLost() {
    // An open port is a newer connection than the one that was lost.
    if (recovery_ && !ui_.comm->PortOpen()) recovery_->LinkLost();
}

// While a lost receiver is looked for, the title says so; the pages show it by their blank fields.
void CMainFrame::ShowConnectionState() {
    setWindowTitle(recovery_ && recovery_->Recovering() ? kLostWindowTitle : kWindowTitle);
    UpdateMenuStates();
    if (tabHost_) tabHost_->update();
}

void CMainFrame::OnRedrawTimer() {
    if (recovery_) recovery_->Tick();
    if (ui_.comm) ui_.comm->FlushLog();
    doc_.UpdateAllViews(kClockHint);
    if (tabHost_) tabHost_->TextView()->OnRedrawTimer();
}

}  // namespace vexa
