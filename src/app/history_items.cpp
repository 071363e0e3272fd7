#include "app/history_items.h"

#include "history/export/history_files.h"
#include "link/gps_comm.h"
#include "uicore/prompts.h"
#include "uicore/ui_context.h"
#include "views/history/history_window.h"
#include "views/history/replay_bar.h"

namespace vexa {

namespace {

const QString kNoHistoryYet = QStringLiteral("There is no history to export: no fix or sky has arrived yet.");
const QString kHistoryNotWritten = QStringLiteral("The history could not be written.");
constexpr int kWindowWidth = 1000;
constexpr int kWindowHeight = 720;

}  // namespace

HistoryItems::HistoryItems(UiContext& ui, QWidget* owner) : ui_(ui), owner_(owner) {
    if (ui_.comm) ui_.comm->Model().AddGnssListener(recorder_);
}

HistoryItems::~HistoryItems() {
    if (ui_.comm) ui_.comm->Model().RemoveGnssListener(recorder_);
    delete window_;
}

CHistoryWindow* HistoryItems::Window() const { return window_; }

void HistoryItems::ShowWindow() {
    if (!window_) {
        window_ = new CHistoryWindow(recorder_, owner_);
        if (ui_.comm) {
            replayBar_ = new CReplayBar(*ui_.comm, window_);
            window_->AddControls(replayBar_);
        }
        window_->resize(kWindowWidth, kWindowHeight);
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void HistoryItems::HoldReplay() {
    if (ui_.comm == nullptr) return;
    if (const std::optional<PlaybackState> playback = ui_.comm->Playback(); playback && !playback->paused) {
        static_cast<void>(ui_.comm->PausePlayback(true));  // an ended capture stands still anyway
    }
    if (replayBar_) replayBar_->Refresh();
    if (window_) window_->Strips()->Refresh();
}

void HistoryItems::Export() {
    // Copied under the lock and written without it: the link goes on meanwhile.
    const HistoryStore store = recorder_.Read([](const HistoryStore& held) { return held; });
    if (store.EpochCount() == 0) {
        ui_.prompts.ShowMessage(owner_, kNoHistoryYet);
        return;
    }
    FileRequest request;
    request.title = QStringLiteral("Export History (PREFIX-satellites.csv, PREFIX-epochs.csv)");
    request.nameFilters = {QStringLiteral("All Files (*)")};
    request.initialName = QStringLiteral("history");
    const std::optional<QString> chosen = ui_.prompts.GetSaveFileName(owner_, request);
    if (!chosen) return;
    QString prefix = *chosen;
    if (prefix.endsWith(QStringLiteral(".csv"))) prefix.chop(4);
    const std::string why = ExportHistory(prefix.toStdString(), store);
    if (!why.empty()) ui_.prompts.ShowMessage(owner_, kHistoryNotWritten + QStringLiteral("\n") + QString::fromStdString(why));
}

}  // namespace vexa
