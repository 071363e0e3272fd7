#include "app/main_frame.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenuBar>
#include <QResizeEvent>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <string>
#include <string_view>
#include <vector>

#include "app/about_dialog.h"
#include "app/demo_tab_view.h"
#include "app/history_items.h"
#include "app/metrics_item.h"
#include "app/notify_bridge.h"
#include "app/product_dialog.h"
#include "app/serial_comm_dialog.h"
#include "link/gps_comm.h"
#include "link/link_log.h"
#include "link/link_recording.h"
#include "link/recording/fix_track.h"
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
#include "views/receiver_test/receiver_test_window.h"
#include "receiver/binary/message_ids.h"
#include "receiver/product/product_table.h"
#include "views/debug_data_view.h"
#include "views/graphic/view_map.h"
#include "views/scaled_view.h"

namespace vexa {

namespace {

const QString kWindowTitle = QStringLiteral("VexaDemoPPC");
const QString kLostWindowTitle = QStringLiteral("VexaDemoPPC - Not connected");
const QString kDisconnectFirst = QStringLiteral("Please disconnect from GPS receiver first.");
const QString kCouldNotOpenLog = QStringLiteral("Could not open specified file. Please try again.");
const QString kNoTrackYet = QStringLiteral("There is no track to export: no fix with a position has arrived yet.");
const QString kTrackNotWritten = QStringLiteral("The track could not be written.");
const QString kCouldNotReplay = QStringLiteral("Could not replay the capture.");
const QString kCouldNotCreateRecording = QStringLiteral("Could not create the recording. Please try again.");

}  // namespace

CMainFrame::CMainFrame(UiContext& ui, CFeedDoc& doc, NotifyBridge& bridge)
    : ui_(ui), doc_(doc), tabHost_(new CDemoTabView(ui, doc)), history_(std::make_unique<HistoryItems>(ui, this)),
      metrics_(std::make_unique<MetricsItem>(ui, this)) {
    setWindowTitle(kWindowTitle);
    BuildMenus();
    menuFont_ = menuBar()->font();
    menuHeight_ = menuBar()->sizeHint().height();
    tabHost_->setFixedSize(kClientWidth, kClientHeight);
    zoom_ = new ScaledView(tabHost_);
    zoom_->resize(kClientWidth, kClientHeight);
    setCentralWidget(zoom_);
    setMinimumSize(BaseSize());
    resize(BaseSize());
    connect(tabHost_, &CTabView::ShowingAllChanged, this, [this] {
        UpdateMenuStates();
        ScaleMenusAsThePages();
    });

    connect(&bridge, &NotifyBridge::Updated, this, &CMainFrame::OnLinkUpdate);
    if (ui_.comm) {
        ui_.comm->SetUpdateSink(&bridge);
        recovery_ = std::make_unique<LinkRecovery>(*ui_.comm, ui_.receiver, [this] { ShowConnectionState(); });
        ui_.linkRecovery = recovery_.get();
        log_ = std::make_unique<LinkLog>(*ui_.comm);
        recording_ = std::make_unique<LinkRecording>(*ui_.comm);
        track_ = std::make_unique<FixTrack>();
        ui_.comm->Model().AddGnssListener(*track_);
    }

    redrawTimer_.setInterval(kRedrawTimerMs);
    connect(&redrawTimer_, &QTimer::timeout, this, &CMainFrame::OnRedrawTimer);
    redrawTimer_.start();
    UpdateMenuStates();
}

CMainFrame::~CMainFrame() {
    redrawTimer_.stop();
    ui_.linkRecovery = nullptr;
    if (ui_.comm) {
        ui_.comm->SetUpdateSink(nullptr);
        ui_.comm->Model().RemoveGnssListener(*track_);
    }
}

QSize CMainFrame::BaseSize() const { return {kClientWidth, menuHeight_ + kClientHeight}; }

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (tabHost_->ShowingAll()) FitAllPages();
    ScaleMenusAsThePages();
}

// The menus grow as much as one page does: as the window when it shows one page, less when it
// shows them all.
void CMainFrame::ScaleMenusAsThePages() {
    const QSize base = BaseSize();
    const double columns = double(tabHost_->width()) / kClientWidth;
    const double rows = double(tabHost_->height()) / kClientHeight;
    ScaleMenus(std::max(1.0, std::min(width() / (base.width() * columns), height() / (base.height() * rows))));
}

void CMainFrame::ShowAllPages(bool all) {
    if (all) FitAllPages();
    else tabHost_->ShowAll(0);
}

bool CMainFrame::AllPagesShown() const { return tabHost_->ShowingAll(); }

void CMainFrame::FitAllPages() {
    const QSizeF room = zoom_->size();
    const QSize cell(kClientWidth, kClientHeight);
    const int pages = tabHost_->TabCount();
    int bestColumns = 3;
    double bestScale = 0;
    for (int columns : {3, 2}) {
        const int rows = (pages + columns - 1) / columns;
        const double scale = std::min(room.width() / (cell.width() * columns), room.height() / (cell.height() * rows));
        if (scale > bestScale) {
            bestScale = scale;
            bestColumns = columns;
        }
    }
    tabHost_->ShowAll(bestColumns);
}

void CMainFrame::ScaleMenus(double scale) {
    if (scale == menuScale_) return;
    menuScale_ = scale;
    QFont font = menuFont_;
    if (font.pointSizeF() > 0) font.setPointSizeF(menuFont_.pointSizeF() * scale);
    else font.setPixelSize(std::max(1, static_cast<int>(menuFont_.pixelSize() * scale)));
    menuBar()->setFont(font);
    for (QMenu* menu : findChildren<QMenu*>()) menu->setFont(font);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    ui_.Settings().m_nWindowWidth = width();
    ui_.Settings().m_nWindowHeight = height();
    ui_.store.SaveWindowSize();
    QMainWindow::closeEvent(event);
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
    if (!log_) return;
    if (log_->IsOpen()) {
        log_->Close();
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
        if (log_->Open(ui_.Settings().m_strLogFileName) == kResultOk) break;
        const std::string reason = FileErrorText(ui_.Settings().m_strLogFileName, errno);
        ui_.prompts.ShowMessage(this, kCouldNotOpenLog + QStringLiteral("\n") + QString::fromStdString(reason));
    }
    ui_.store.SaveLogFileName();
}

// Every fix with a position so far, as a GPX track in the file the user names.
void CMainFrame::OnExportTrack() {
    if (!track_) return;
    const std::vector<TrackPoint> track = track_->Points();
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
    if (!recording_) return;
    if (recording_->Active()) {
        recording_->Stop();
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
        const int error = recording_->Start(path->toStdString());
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

void CMainFrame::OnDebugOutput() {
    if (ui_.comm) ToggleDebugOutput(*ui_.comm);
}

void CMainFrame::OnNavLibOutput() {
    if (ui_.comm) ToggleNavLibOutput(*ui_.comm);
}

void CMainFrame::OnNmeaChannel() {
    std::atomic<int>& count = ui_.receiver.NmeaChannelCount;
    const bool enable = count <= kNmeaChannelToggleThreshold;
    count = enable ? std::max(count.load(), kNmeaChannelToggleThreshold) : 0;
    if (ui_.comm && ui_.setNmeaTunnel) ui_.setNmeaTunnel(enable);
}

void CMainFrame::OnPowerManagement() {
    if (ui_.showPowerManagement) ui_.showPowerManagement(this);
}

void CMainFrame::OnElevationMask() {
    if (ui_.showElevationMask) ui_.showElevationMask(this);
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

// One window, opened beside the frame and brought forward when asked for again; closing it hides it
// and keeps its fixes.
void CMainFrame::OnReceiverTest() {
    if (!receiverTest_) receiverTest_ = new ReceiverTestWindow(ui_, this);
    receiverTest_->show();
    receiverTest_->raise();
    receiverTest_->activateWindow();
}

void CMainFrame::OnHistory() { history_->ShowWindow(); }

void CMainFrame::OnExportHistory() { history_->Export(); }

void CMainFrame::OnServeMetrics() { metrics_->Toggle(); }
bool CMainFrame::MetricsServed() const { return metrics_->Serving(); }

std::optional<PlaybackState> CMainFrame::ReplayPlayback() const {
    return ui_.comm ? ui_.comm->Playback() : std::nullopt;
}

void CMainFrame::OnPauseReplay() {
    const std::optional<PlaybackState> playback = ReplayPlayback();
    if (playback) static_cast<void>(ui_.comm->PausePlayback(!playback->paused));  // an ended capture has nothing to pause
}

void CMainFrame::StepReplaySpeed(int steps) {
    const std::optional<PlaybackState> playback = ReplayPlayback();
    if (playback) static_cast<void>(ui_.comm->SetPlaybackSpeed(SteppedReplaySpeed(playback->speed, steps)));
}

std::optional<QString> CMainFrame::PauseReplayText() const {
    const std::optional<PlaybackState> playback = ReplayPlayback();
    if (playback && playback->paused) return QStringLiteral("Resume Replay");
    return QStringLiteral("Pause Replay");
}

void CMainFrame::OnAbout() {
    CAboutDlg dialog(this);
    ui_.RunModal(dialog);
}

void CMainFrame::OnLinkUpdate(const LinkUpdate& update) {
    if (const auto* message = std::get_if<MessageToShow>(&update)) {
        ui_.prompts.ShowMessage(this, QString::fromStdString(message->text));
        return;
    }
    if (std::holds_alternative<LinkLost>(update)) {
        OnLinkLost();
        return;
    }
    if (!ui_.comm) return;
    doc_.UpdateAllViews(update);
    if (IsDelivered(update, MessageId::SwVersion) && ui_.SwVersionPending) ShowSwVersion();
    if (IsDelivered(update, MessageId::ClockStatus) && ui_.ClockStatusPending) ShowClockStatus();
}

void CMainFrame::ShowSwVersion() {
    ui_.SwVersionPending = false;
    const std::string text = SwVersionText(ui_.comm->Model().SoftwareVersion());
    ui_.prompts.ShowCaptionedMessage(this, QString::fromLatin1(kSwVersionCaption), QString::fromLatin1(text));
}

void CMainFrame::ShowClockStatus() {
    ui_.ClockStatusPending = false;
    const std::string text = ClockStatusText(ui_.comm->Model().ClockStatusReport());
    ui_.prompts.ShowCaptionedMessage(this, QString::fromLatin1(kClockStatusCaption), QString::fromLatin1(text));
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
    if (log_) log_->Flush();
    doc_.UpdateAllViews(ClockTick{});
    if (tabHost_) tabHost_->TextView()->OnRedrawTimer();
}

}  // namespace vexa
