#pragma once

#include <QFont>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <array>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "link/model/link_update.h"
#include "link/sources/capture_playback.h"
#include "receiver/commands/command_builders.h"
#include "receiver/product/product_table.h"

class QAction;
class QMenu;

namespace vexa {

class CDemoTabView;
class CFeedDoc;
class FixTrack;
class HistoryItems;
class LinkLog;
class LinkRecording;
class LinkRecovery;
class MetricsItem;
class NotifyBridge;
class ReceiverTestWindow;
class ScaledView;
struct UiContext;

// The program's window: the menu bar above the tab host, both scaled as one to the window's size. Turns menu commands into receiver commands,
// keeps the items' texts, checks and enabled states in step with the link and the product, passes
// the link's notifications to the document's views, and shows the answers to the two polls.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // Menu item ids, kept as each action's data.
    enum CommandId : int {
        kSeparator = 0,
        kSelectProduct = 32772,
        kSerialComm = 32773,
        kSwitchProtocol = 32774,
        kLoadMap = 32775,
        kLogging = 32776,
        kExit = 32777,
        kHotStart = 32781,
        kWarmStart = 32782,
        kColdStart = 32783,
        kFactoryReset = 32784,
        kDebugOutput = 32785,
        kNavLibOutput = 32786,
        kNmeaChannel = 32787,
        kPowerManagement = 32788,
        kElevationMask = 32789,
        kSwVersion = 32791,
        kClockStatus = 32792,
        kAbout = 32793,
        kExportTrack = 32799,
        kRecording = 32810,
        kReplayCapture = 32811,
        kReceiverTest = 32812,
        kAllPages = 32820,
        kHistory = 32813,
        kExportHistory = 32814,
        kPauseReplay = 32815,
        kReplayFaster = 32816,
        kReplaySlower = 32817,
        kServeMetrics = 32821,
    };
    static constexpr int kClientWidth = 240;
    static constexpr int kClientHeight = 268;
    static constexpr int kRedrawTimerMs = 1000;

    CMainFrame(UiContext& ui, CFeedDoc& doc, NotifyBridge& bridge);
    ~CMainFrame() override;

    QAction* Action(int id) const;
    QMenu* CommandMenu() const { return menus_[static_cast<std::size_t>(Menu::Command)]; }
    CDemoTabView* TabHost() const { return tabHost_; }
    // The view that shows the tab host scaled to the window.
    ScaledView* Zoom() const { return zoom_; }
    // The window at scale 1: the menu bar above the 240 x 268 client area.
    QSize BaseSize() const;
    QTimer& RedrawTimer() { return redrawTimer_; }
    // Null when there is no receiver link.
    LinkRecovery* Recovery() const { return recovery_.get(); }
    HistoryItems& History() const { return *history_; }
    MetricsItem& Metrics() const { return *metrics_; }
    // The data log, the raw recording and the track of the File menu; null when there is no receiver link.
    LinkLog* Log() const { return log_.get(); }
    LinkRecording* Recording() const { return recording_.get(); }
    const FixTrack* Track() const { return track_.get(); }

    // Recomputes every item's text, check mark and enabled state.
    void UpdateMenuStates();
    // Runs a menu command as if its item were chosen.
    void RunCommand(int id);

    void OnSelectProduct();
    // Fits the "Command" popup to the selected product.
    void AdaptCommandMenu();
    // The Serial Comm dialog, with `portToChoose` selected instead of the stored port when one is given.
    void OnSerialComm(const std::string& portToChoose = {});
    void OnLinkUpdate(const vexa::LinkUpdate& update);
    void OnRedrawTimer();

protected:
    void resizeEvent(QResizeEvent* event) override;
    // The window's size is remembered for the next start.
    void closeEvent(QCloseEvent* event) override;

private:
    // The menus of the menu bar, left to right.
    enum class Menu { Setup, Command, Poll, View, Tools, Help };
    static constexpr std::size_t kMenuCount = 6;
    // One item of the menus: where it sits, what it shows and runs, when it is enabled and checked
    // (main_frame_menus.cpp holds the table, in the menus' order).
    struct MenuItem;
    static std::span<const MenuItem> MenuItems();

    // The menu bar and its menus with their text grown as much as the pages.
    void ScaleMenus(double scale);
    void ScaleMenusAsThePages();
    // "All Pages": every page at once, in the grid of three or two columns that fits the window best.
    void ShowAllPages(bool all);
    void FitAllPages();
    // The View menu's "All Pages" item.
    void OnAllPages() { ShowAllPages(!AllPagesShown()); }
    bool AllPagesShown() const;
    void BuildMenus();
    // Puts the items of `menu` into its popup, the Command popup in the product's layout.
    void PlaceItems(Menu menu);
    // True, after telling the user why, when the source connected takes no commands.
    bool CommandsRefused();
    // The menu items' live texts and check marks; no value keeps the text shown.
    std::optional<QString> SwitchProtocolText() const;
    std::optional<QString> LoggingText() const;
    std::optional<QString> RecordingText() const;
    std::optional<QString> PauseReplayText() const;
    bool DebugOutputOn() const;
    bool NavLibOutputOn() const;
    bool NmeaChannelOn() const;
    bool MetricsServed() const;

    void OnSerialCommItem() { OnSerialComm(); }
    void OnHistory();
    void OnExportHistory();
    void OnServeMetrics();
    // A replayed capture's pause and speed (its seek bar is in the History window).
    std::optional<PlaybackState> ReplayPlayback() const;
    void OnPauseReplay();
    void OnReplayFaster() { StepReplaySpeed(+1); }
    void OnReplaySlower() { StepReplaySpeed(-1); }
    void StepReplaySpeed(int steps);
    void OnSwitchProtocol();
    void OnLoadMap();
    void OnLogging();
    void OnExportTrack();
    void OnRecording();
    void OnReplayCapture();
    void OnExit();
    void Reset(ResetKind kind);
    void OnHotStart() { Reset(ResetKind::Hot); }
    void OnWarmStart() { Reset(ResetKind::Warm); }
    void OnColdStart() { Reset(ResetKind::Cold); }
    void OnFactoryReset() { Reset(ResetKind::Factory); }
    void OnDebugOutput();
    void OnNavLibOutput();
    void OnNmeaChannel();
    void OnPowerManagement();
    void OnElevationMask();
    void OnSwVersion();
    void OnClockStatus();
    void OnAbout();
    void OnReceiverTest();
    void ShowSwVersion();
    void ShowClockStatus();
    void OnLinkLost();
    void ShowConnectionState();

    UiContext& ui_;
    CFeedDoc& doc_;
    CDemoTabView* tabHost_;
    std::array<QMenu*, kMenuCount> menus_{};
    // The action of each row of MenuItems(), in the table's order.
    std::vector<QAction*> itemActions_;
    CommandMenuLayout commandLayout_ = CommandMenuLayout::PowerAndElevationDialogs;
    ScaledView* zoom_;
    QFont menuFont_;  // the menus' own font, at scale 1
    int menuHeight_ = 0;  // the menu bar's height at scale 1
    double menuScale_ = 1.0;
    QTimer redrawTimer_;
    std::unique_ptr<LinkRecovery> recovery_;
    std::unique_ptr<LinkLog> log_;
    std::unique_ptr<LinkRecording> recording_;
    std::unique_ptr<FixTrack> track_;
    QPointer<ReceiverTestWindow> receiverTest_;  // made at its first opening, kept while the frame lives
    std::unique_ptr<HistoryItems> history_;
    std::unique_ptr<MetricsItem> metrics_;
    QString recordingPath_ = QStringLiteral("capture.bin");  // the last recording's file, offered again
};

}  // namespace vexa
