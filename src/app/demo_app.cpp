#include "app/demo_app.h"

#include <QCoreApplication>
#include <QDialog>
#include <cstdio>

#include "app/command_dialogs.h"
#include "app/demo_tab_view.h"
#include "app/link_counts_file.h"
#include "app/main_frame.h"
#include "app/metrics_item.h"
#include "app/screenshots.h"
#include "app/single_instance.h"
#include "link/connection/connection_controller.h"
#include "link/gps_comm.h"
#include "link/location_client_host.h"
#include "link/connection/link_recovery.h"
#include "receiver/product/product_table.h"
#include "sim/receiver_simulator.h"
#include "uicore/feed_doc.h"
#include "uicore/settings_store.h"
#include "uicore/ui_context.h"
#include "views/graphic/view_map.h"

namespace vexa {

namespace {

constexpr int kSimulatedBinaryBaud = 57600;
constexpr int kSimulatedNmeaBaud = 4800;
constexpr int kSimulatedMultiConstellationNmeaBaud = 38400;  // 4800 baud carries less than half of its sentences

// The simulated receiver of a product; the hidden products talk as the Kestrel does.
std::string SimulatedProductName(int product) {
    const ProductTraits* traits = SupportedProduct(product);
    return std::string(traits != nullptr ? traits->name : ProductName(kKestrel));
}

}  // namespace

CDemoApp::CDemoApp(DemoOptions options, Prompts& prompts, QString instanceName)
    : options_(std::move(options)),
      instanceName_(instanceName.isEmpty() ? SingleInstance::DefaultName() : std::move(instanceName)),
      store_(std::make_unique<SettingsStore>(settings_)),
      ui_(std::make_unique<UiContext>(receiver_, *store_, prompts)) {
    ui_->ports.extraPaths = options_.ports;
    // A capture given to replay is listed before the devices, and connected at start.
    if (const std::string replay = ReplayPortName(options_); !replay.empty()) {
        ui_->ports.extraPaths.insert(ui_->ports.extraPaths.begin(), replay);
        options_.connect = true;
    }
    InstallCommandHooks(*ui_);
    // A run that saves screenshots may have nobody (and no display) to answer a dialog: every
    // dialog is cancelled at once instead of waiting.
    if (!options_.screenshotsFolder.empty()) ui_->runModal = [](QDialog&) { return int{QDialog::Rejected}; };
}

CDemoApp::~CDemoApp() {
    connectionTimer_.stop();
    connection_.reset();
    frame_.reset();
    doc_.reset();
    ui_->comm = nullptr;
    location_.reset();
    comm_.reset();
    if (simulator_) simulator_->stop();
}

bool CDemoApp::InitInstance() {
    comm_ = GpsComm::Create(receiver_);
    ui_->comm = comm_.get();
    if (comm_) {
        location_ = std::make_unique<LocationClientHost>(*comm_);
        InstallTunnelHook(*ui_, location_->client());
    }

    instance_ = std::make_unique<SingleInstance>(instanceName_);
    if (!instance_->Claim()) return false;

    store_->LoadDisplaySettings();
    store_->LoadPlotSettings();
    store_->LoadLogFileName();
    store_->LoadWindowSize();
    store_->LoadMetricsSettings();

    if (options_.simulate) StartSimulator();

    doc_ = std::make_unique<CFeedDoc>();
    frame_ = std::make_unique<CMainFrame>(*ui_, *doc_, bridge_);
    QObject::connect(instance_.get(), &SingleInstance::RaiseRequested, frame_.get(), [frame = frame_.get()] {
        frame->showNormal();
        frame->raise();
        frame->activateWindow();
    });
    doc_->InitialUpdate();

    frame_->resize(StartingSize());
    frame_->show();
    if (options_.allPages) frame_->RunCommand(CMainFrame::kAllPages);
    if (options_.history) frame_->RunCommand(CMainFrame::kHistory);
    frame_->Metrics().Start(options_.metricsAddress);
    frame_->repaint();

    if (!options_.mapFile.empty()) {
        if (CViewMap* map = frame_->TabHost()->MapPage()) map->CartexView()->LoadMapFile(QString::fromStdString(options_.mapFile));
    }

    ui_->productChanged = [this] { SimulateSelectedProduct(); };
    // A start that connects by itself never waits on the product question: the product given, or
    // Kestrel, the product of every start.
    if (options_.product) receiver_.ProductSelection = *options_.product;
    if (options_.product || options_.connect) {
        frame_->AdaptCommandMenu();
        SimulateSelectedProduct();
    } else {
        frame_->OnSelectProduct();
    }

    if (options_.connect) {
        ConnectWithoutDialog();
    } else {
        frame_->OnSerialComm();
        if (receiver_.LinkProtocol == kNmeaProtocol) frame_->TabHost()->SelectTab(CDemoTabView::kText);
    }

    if (!options_.countsFile.empty()) {
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, frame_.get(), [this] { WriteCounts(); });
    }
    if (!options_.screenshotsFolder.empty()) {
        QTimer::singleShot(static_cast<int>(options_.seconds * 1000), frame_.get(), [this] { SaveScreenshotsAndQuit(); });
    }
    return true;
}

// `--scale N` opens the window N times its smallest size; without it, the window opens as large as it
// last closed.
QSize CDemoApp::StartingSize() const {
    if (options_.scale > 1) return frame_->BaseSize() * options_.scale;
    const AppSettings& settings = ui_->Settings();
    if (settings.m_nWindowWidth > 0) return {settings.m_nWindowWidth, settings.m_nWindowHeight};
    return frame_->BaseSize();
}

void CDemoApp::StartSimulator() {
    sim::SimulatorOptions simulation;
    simulation.receiver.protocol = options_.simulateNmea ? sim::Protocol::Nmea : sim::Protocol::Binary;
    if (options_.simulateConstellations) simulation.receiver.constellations = *options_.simulateConstellations;
    const int nmeaBaud = sim::IsMultiConstellation(simulation.receiver.constellations)
                             ? kSimulatedMultiConstellationNmeaBaud
                             : kSimulatedNmeaBaud;
    simulation.receiver.baud = options_.simulateBaud.value_or(options_.simulateNmea ? nmeaBaud : kSimulatedBinaryBaud);
    try {
        simulator_ = std::make_unique<sim::ReceiverSimulator>(simulation);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vexademo: the simulated receiver could not start: %s\n", error.what());
        return;
    }
    simulator_->start();
    ui_->ports.simulatedReceiver = SerialPortEntry{simulator_->slavePath(), std::string(kSimulatedReceiverName)};
}

// The built-in receiver is of the product the user selected, so that its frames are read as that
// product's (an Osprey's payloads lead with a channel byte).
void CDemoApp::SimulateSelectedProduct() {
    if (simulator_) simulator_->changeProduct(SimulatedProductName(receiver_.ProductSelection));
}

// The command line's --connect: the Serial Comm dialog's Connect with "Auto" (or --baud) on the first port,
// driven by the same one-second ticks, without the dialog.
void CDemoApp::ConnectWithoutDialog() {
    const std::vector<SerialPortEntry> ports = DiscoverPorts(ui_->ports);
    if (!comm_ || ports.empty()) {
        std::fprintf(stderr, "vexademo: no serial port to connect to\n");
        return;
    }
    ConnectionCallbacks callbacks;
    callbacks.showMessage = [](std::string_view text) {
        std::fprintf(stderr, "vexademo: %.*s\n", static_cast<int>(text.size()), text.data());
    };
    callbacks.saveSettings = [this](const std::string& portPath, int baudSetting) {
        ui_->Settings().m_strSerialPort = portPath;
        ui_->Settings().m_nBaudRate = baudSetting;
        store_->SaveDisplaySettings();
    };
    callbacks.connected = [this](const std::string& portPath, int chosenBaudSetting) {
        if (ui_->linkRecovery) ui_->linkRecovery->Remember(portPath, chosenBaudSetting);
    };
    connection_ = std::make_unique<ConnectionController>(*comm_, receiver_, std::move(callbacks));
    const std::string replay = ReplayPortName(options_);
    const std::string baud = options_.connectBaud ? std::to_string(*options_.connectBaud) : "Auto";
    connection_->Connect(replay.empty() ? ports.front().devicePath : replay, baud);
    if (!connection_->Testing()) return;
    connectionTimer_.setInterval(1000);
    QObject::connect(&connectionTimer_, &QTimer::timeout, frame_.get(), [this] { OnConnectionTick(); });
    connectionTimer_.start();
}

void CDemoApp::OnConnectionTick() {
    connection_->Tick();
    if (connection_->Testing()) return;
    connectionTimer_.stop();
    if (receiver_.LinkProtocol == kNmeaProtocol) frame_->TabHost()->SelectTab(CDemoTabView::kText);
}

void CDemoApp::WriteCounts() const {
    const std::string why = WriteLinkCounts(options_.countsFile, comm_->CountsAtLastPause());
    if (!why.empty()) std::fprintf(stderr, "vexademo: could not write the counts: %s\n", why.c_str());
}

void CDemoApp::SaveScreenshotsAndQuit() {
    const bool saved = SaveScreenshots(*frame_, QString::fromStdString(options_.screenshotsFolder));
    if (!saved) std::fprintf(stderr, "vexademo: could not save the screenshots\n");
    frame_->close();
    QCoreApplication::exit(saved ? 0 : 1);
}

}  // namespace vexa
