#pragma once

#include <QMainWindow>
#include <QString>
#include <QTimer>
#include <map>
#include <memory>
#include <string>

#include "platform/notify_sink.h"
#include "receiver/commands/command_builders.h"

class QAction;
class QMenu;

namespace vexa {

class CDemoTabView;
class CFeedDoc;
class HistoryItems;
class LinkRecovery;
class NotifyBridge;
struct UiContext;

// The program's window: the menu bar above the tab host. Turns menu commands into receiver commands,
// keeps the items' texts, checks and enabled states in step with the link and the product, passes
// the link's notifications to the document's views, and shows the answers to the two polls.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // Menu item ids, kept as each action's data.
    enum CommandId : int {
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
        kHistory = 32812,
        kExportHistory = 32813,
    };
    static constexpr int kClientWidth = 240;
    static constexpr int kClientHeight = 268;
    static constexpr int kRedrawTimerMs = 1000;

    CMainFrame(UiContext& ui, CFeedDoc& doc, NotifyBridge& bridge);
    ~CMainFrame() override;

    QAction* Action(int id) const;
    QMenu* CommandMenu() const { return commandMenu_; }
    CDemoTabView* TabHost() const { return tabHost_; }
    QTimer& RedrawTimer() { return redrawTimer_; }
    // Null when there is no receiver link.
    LinkRecovery* Recovery() const { return recovery_.get(); }
    HistoryItems& History() const { return *history_; }

    // Recomputes every item's text, check mark and enabled state.
    void UpdateMenuStates();
    // Runs a menu command as if its item were chosen.
    void RunCommand(int id);

    void OnSelectProduct();
    // Fits the "Command" popup to the selected product.
    void AdaptCommandMenu();
    // The Serial Comm dialog, with `portToChoose` selected instead of the stored port when one is given.
    void OnSerialComm(const std::string& portToChoose = {});
    void OnLinkNotification(const vexa::Notification& notification);
    void OnRedrawTimer();

private:
    void BuildMenus();
    QAction* AddItem(QMenu* menu, const QString& text, int id);
    // The items that send to the receiver.
    static bool IsReceiverCommand(int id);
    // True, after telling the user why, when the source connected takes no commands.
    bool CommandsRefused();
    void OnSwitchProtocol();
    void OnLoadMap();
    void OnLogging();
    void OnExportTrack();
    void OnRecording();
    void OnReplayCapture();
    void OnExit();
    void Reset(ResetKind kind);
    void OnNmeaChannel();
    void OnSwVersion();
    void OnClockStatus();
    void OnAbout();
    void ShowSwVersion();
    void ShowClockStatus();
    void OnLinkLost();
    void ShowConnectionState();

    UiContext& ui_;
    CFeedDoc& doc_;
    CDemoTabView* tabHost_;
    QMenu* commandMenu_ = nullptr;
    QAction* commandSeparator_ = nullptr;
    std::map<int, QAction*> actions_;
    QTimer redrawTimer_;
    std::unique_ptr<LinkRecovery> recovery_;
    std::unique_ptr<HistoryItems> history_;
    QString recordingPath_ = QStringLiteral("capture.bin");  // the last recording's file, offered again
};

}  // namespace vexa
