// The main frame's menus, built, enabled and run from one table.
#include <QMenu>
#include <QMenuBar>
#include <algorithm>
#include <string_view>

#include "app/main_frame.h"
#include "link/gps_comm.h"
#include "link/link_log.h"
#include "link/link_recording.h"
#include "uicore/ui_context.h"

namespace vexa {

namespace {

// When an item can be chosen.
enum class EnabledWhile {
    Always,
    Binary,     // the binary protocol is up
    Connected,  // a receiver is connected, by either protocol
    Linked,     // the program has a receiver link
    Replaying,  // the link plays a capture that has not ended
};

constexpr std::array<std::string_view, 6> kMenuTitles{"Setup", "Command", "Poll", "View", "Tools", "Help"};

// The row of `items` with item id `id`, or `items.size()` when there is none.
template <class Items>
std::size_t RowOf(const Items& items, int id) {
    const auto found = std::find_if(items.begin(), items.end(), [id](const auto& item) { return item.id == id; });
    return static_cast<std::size_t>(found - items.begin());
}

}  // namespace

struct CMainFrame::MenuItem {
    Menu menu;
    int id = kSeparator;
    std::string_view text;
    void (CMainFrame::*run)() = nullptr;
    // Sent to the receiver: a source that takes no commands refuses it with its reason.
    bool toReceiver = false;
    EnabledWhile enabledWhile = EnabledWhile::Always;
    // Checkable, checked while this says so and the item is enabled.
    bool (CMainFrame::*checked)() const = nullptr;
    // A text that follows the link; the built text until it gives one.
    std::optional<QString> (CMainFrame::*liveText)() const = nullptr;
    // In the Command popup of one product layout only.
    std::optional<CommandMenuLayout> onlyIn;
};

std::span<const CMainFrame::MenuItem> CMainFrame::MenuItems() {
    using enum Menu;
    using enum EnabledWhile;
    constexpr CommandMenuLayout kDialogs = CommandMenuLayout::PowerAndElevationDialogs;
    constexpr CommandMenuLayout kNmeaToggle = CommandMenuLayout::NmeaChannelToggle;
    static const MenuItem items[] = {
        {.menu = Setup, .id = kSelectProduct, .text = "Select Product...", .run = &CMainFrame::OnSelectProduct},
        {.menu = Setup, .id = kSerialComm, .text = "Serial Comm...", .run = &CMainFrame::OnSerialCommItem},
        {.menu = Setup, .id = kReplayCapture, .text = "Replay capture...", .run = &CMainFrame::OnReplayCapture},
        {.menu = Setup, .id = kSwitchProtocol, .text = "Switch to NMEA", .run = &CMainFrame::OnSwitchProtocol,
         .toReceiver = true, .enabledWhile = Connected, .liveText = &CMainFrame::SwitchProtocolText},
        {.menu = Setup, .id = kLoadMap, .text = "Load Map...", .run = &CMainFrame::OnLoadMap},
        {.menu = Setup, .id = kLogging, .text = "Start Logging...", .run = &CMainFrame::OnLogging,
         .liveText = &CMainFrame::LoggingText},
        {.menu = Setup, .id = kExportTrack, .text = "Export Track...", .run = &CMainFrame::OnExportTrack},
        {.menu = Setup, .id = kHistory, .text = "History...", .run = &CMainFrame::OnHistory},
        {.menu = Setup, .id = kExportHistory, .text = "Export History...", .run = &CMainFrame::OnExportHistory},
        {.menu = Setup, .id = kPauseReplay, .text = "Pause Replay", .run = &CMainFrame::OnPauseReplay,
         .enabledWhile = Replaying, .liveText = &CMainFrame::PauseReplayText},
        {.menu = Setup, .id = kReplayFaster, .text = "Replay Faster", .run = &CMainFrame::OnReplayFaster,
         .enabledWhile = Replaying},
        {.menu = Setup, .id = kReplaySlower, .text = "Replay Slower", .run = &CMainFrame::OnReplaySlower,
         .enabledWhile = Replaying},
        {.menu = Setup, .id = kRecording, .text = "Start Recording...", .run = &CMainFrame::OnRecording,
         .enabledWhile = Linked, .liveText = &CMainFrame::RecordingText},
        {.menu = Setup, .id = kServeMetrics, .text = "Serve metrics", .run = &CMainFrame::OnServeMetrics,
         .checked = &CMainFrame::MetricsServed},
        {.menu = Setup, .id = kExit, .text = "Exit", .run = &CMainFrame::OnExit},

        {.menu = Command, .id = kHotStart, .text = "Hot Start", .run = &CMainFrame::OnHotStart,
         .toReceiver = true, .enabledWhile = Binary},
        {.menu = Command, .id = kWarmStart, .text = "Warm Start", .run = &CMainFrame::OnWarmStart,
         .toReceiver = true, .enabledWhile = Binary},
        {.menu = Command, .id = kColdStart, .text = "Cold Start", .run = &CMainFrame::OnColdStart,
         .toReceiver = true, .enabledWhile = Binary},
        {.menu = Command, .id = kFactoryReset, .text = "Factory Reset", .run = &CMainFrame::OnFactoryReset,
         .toReceiver = true, .enabledWhile = Binary},
        {.menu = Command},
        {.menu = Command, .id = kDebugOutput, .text = "Debug Data Output", .run = &CMainFrame::OnDebugOutput,
         .toReceiver = true, .enabledWhile = Binary, .checked = &CMainFrame::DebugOutputOn},
        {.menu = Command, .id = kNavLibOutput, .text = "Nav Library Output", .run = &CMainFrame::OnNavLibOutput,
         .toReceiver = true, .enabledWhile = Binary, .checked = &CMainFrame::NavLibOutputOn},
        {.menu = Command, .onlyIn = kDialogs},
        {.menu = Command, .id = kPowerManagement, .text = "Power Management...", .run = &CMainFrame::OnPowerManagement,
         .toReceiver = true, .enabledWhile = Binary, .onlyIn = kDialogs},
        {.menu = Command, .id = kElevationMask, .text = "SV Elevation Mask...", .run = &CMainFrame::OnElevationMask,
         .toReceiver = true, .enabledWhile = Binary, .onlyIn = kDialogs},
        {.menu = Command, .id = kNmeaChannel, .text = "NMEA Channel", .run = &CMainFrame::OnNmeaChannel,
         .toReceiver = true, .enabledWhile = Binary, .checked = &CMainFrame::NmeaChannelOn, .onlyIn = kNmeaToggle},

        {.menu = Poll, .id = kSwVersion, .text = "SW Version", .run = &CMainFrame::OnSwVersion, .toReceiver = true,
         .enabledWhile = Binary},
        {.menu = Poll, .id = kClockStatus, .text = "Clock Status", .run = &CMainFrame::OnClockStatus,
         .toReceiver = true, .enabledWhile = Binary},

        {.menu = View, .id = kAllPages, .text = "All Pages", .run = &CMainFrame::OnAllPages,
         .checked = &CMainFrame::AllPagesShown},

        {.menu = Tools, .id = kReceiverTest, .text = "Receiver Test...", .run = &CMainFrame::OnReceiverTest},

        {.menu = Help, .id = kAbout, .text = "About", .run = &CMainFrame::OnAbout},
    };
    return items;
}

void CMainFrame::BuildMenus() {
    static_assert(kMenuTitles.size() == kMenuCount);
    for (std::size_t menu = 0; menu < kMenuCount; ++menu) {
        menus_[menu] = menuBar()->addMenu(QString::fromLatin1(kMenuTitles[menu]));
        connect(menus_[menu], &QMenu::aboutToShow, this, &CMainFrame::UpdateMenuStates);
    }
    for (const MenuItem& item : MenuItems()) {
        auto* action = new QAction(QString::fromLatin1(item.text), this);
        if (item.id == kSeparator) {
            action->setSeparator(true);
        } else {
            action->setData(item.id);
            action->setCheckable(item.checked != nullptr);
            connect(action, &QAction::triggered, this, [this, id = item.id] { RunCommand(id); });
        }
        itemActions_.push_back(action);
    }
    for (std::size_t menu = 0; menu < kMenuCount; ++menu) PlaceItems(static_cast<Menu>(menu));
}

void CMainFrame::PlaceItems(Menu menu) {
    QMenu* popup = menus_[static_cast<std::size_t>(menu)];
    popup->clear();
    const std::span<const MenuItem> items = MenuItems();
    for (std::size_t row = 0; row < items.size(); ++row) {
        const MenuItem& item = items[row];
        if (item.menu == menu && (!item.onlyIn || *item.onlyIn == commandLayout_)) popup->addAction(itemActions_[row]);
    }
}

QAction* CMainFrame::Action(int id) const {
    const std::size_t row = RowOf(MenuItems(), id);
    return id == kSeparator || row == itemActions_.size() ? nullptr : itemActions_[row];
}

void CMainFrame::UpdateMenuStates() {
    const int protocol = ui_.receiver.LinkProtocol;
    const std::span<const MenuItem> items = MenuItems();
    for (std::size_t row = 0; row < items.size(); ++row) {
        const MenuItem& item = items[row];
        QAction* action = itemActions_[row];
        switch (item.enabledWhile) {
        case EnabledWhile::Always: action->setEnabled(true); break;
        case EnabledWhile::Binary: action->setEnabled(protocol == kBinaryProtocol); break;
        case EnabledWhile::Connected: action->setEnabled(protocol != kNotConnected); break;
        case EnabledWhile::Linked: action->setEnabled(ui_.comm != nullptr); break;
        case EnabledWhile::Replaying: {
            const std::optional<PlaybackState> playback = ReplayPlayback();
            action->setEnabled(playback && playback->open);
            break;
        }
        }
        // A disabled toggle shows no check mark.
        if (item.checked) action->setChecked(action->isEnabled() && (this->*item.checked)());
        if (item.liveText) {
            if (const std::optional<QString> text = (this->*item.liveText)()) action->setText(*text);
        }
    }
}

void CMainFrame::RunCommand(int id) {
    const std::span<const MenuItem> items = MenuItems();
    const std::size_t row = RowOf(items, id);
    if (id != kSeparator && row < items.size()) {
        if (items[row].toReceiver && CommandsRefused()) return;
        (this->*items[row].run)();
    }
    UpdateMenuStates();
}

void CMainFrame::AdaptCommandMenu() {
    const ProductTraits* product = SupportedProduct(ui_.receiver.ProductSelection.load());
    if (product == nullptr || product->commandMenu == commandLayout_) return;
    commandLayout_ = product->commandMenu;
    PlaceItems(Menu::Command);
}

std::optional<QString> CMainFrame::SwitchProtocolText() const {
    const ProductTraits* product = SupportedProduct(ui_.receiver.ProductSelection.load());
    if (product == nullptr) return std::nullopt;
    if (ui_.receiver.LinkProtocol != kNmeaProtocol) return QStringLiteral("Switch to NMEA");
    return QStringLiteral("Switch to ") + QString::fromLatin1(product->binaryProtocolName);
}

std::optional<QString> CMainFrame::LoggingText() const {
    return log_ && log_->IsOpen() ? QStringLiteral("Stop Logging") : QStringLiteral("Start Logging...");
}

std::optional<QString> CMainFrame::RecordingText() const {
    const bool recording = recording_ && recording_->Active();
    return recording ? QStringLiteral("Stop Recording") : QStringLiteral("Start Recording...");
}

bool CMainFrame::DebugOutputOn() const { return ui_.receiver.DebugToggleCount > kDebugToggleThreshold; }
bool CMainFrame::NavLibOutputOn() const { return ui_.receiver.NavLibToggleCount > kNavLibToggleThreshold; }
bool CMainFrame::NmeaChannelOn() const { return ui_.receiver.NmeaChannelCount > kNmeaChannelToggleThreshold; }

}  // namespace vexa
