#pragma once

#include <QSize>
#include <QTimer>
#include <memory>

#include "app/command_line.h"
#include "app/notify_bridge.h"
#include "receiver/product/receiver_context.h"
#include "uicore/app_settings.h"

namespace vexa {

namespace sim {
class ReceiverSimulator;
}

class CFeedDoc;
class CMainFrame;
class ConnectionController;
class GpsComm;
class LocationClientHost;
class Prompts;
class SettingsStore;
class SingleInstance;
struct UiContext;

// The program: creates the receiver link, makes sure only one copy runs, loads the settings,
// builds the window set and walks the user through the product and port questions. Members are
// destroyed in reverse order, so the window (with its data log and recording) goes first, then the
// location client, then the link (port, comm reader).
class CDemoApp {
public:
    CDemoApp(DemoOptions options, Prompts& prompts, QString instanceName = {});
    ~CDemoApp();
    CDemoApp(const CDemoApp&) = delete;
    CDemoApp& operator=(const CDemoApp&) = delete;

    // False when the program should end at once (another copy runs).
    bool InitInstance();

    UiContext& Ui() { return *ui_; }
    CMainFrame* MainFrame() const { return frame_.get(); }
    GpsComm* Comm() const { return comm_.get(); }

private:
    QSize StartingSize() const;
    void StartSimulator();
    void SimulateSelectedProduct();
    void ConnectWithoutDialog();
    void OnConnectionTick();
    void WriteCounts() const;
    void SaveScreenshotsAndQuit();

    DemoOptions options_;
    QString instanceName_;
    ReceiverContext receiver_;
    AppSettings settings_;
    std::unique_ptr<SettingsStore> store_;
    std::unique_ptr<UiContext> ui_;
    NotifyBridge bridge_;
    std::unique_ptr<sim::ReceiverSimulator> simulator_;
    std::unique_ptr<GpsComm> comm_;
    std::unique_ptr<LocationClientHost> location_;
    std::unique_ptr<SingleInstance> instance_;
    std::unique_ptr<CFeedDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<ConnectionController> connection_;
    QTimer connectionTimer_;
};

}  // namespace vexa
