#pragma once

#include <QColor>
#include <chrono>
#include <cstdint>
#include <functional>

#include "link/ports/port_discovery.h"
#include "receiver/product/receiver_context.h"
#include "uicore/display_preferences.h"
#include "uicore/settings_store.h"

class QDialog;
class QWidget;

namespace vexa {

class GpsComm;
class LinkRecovery;
class Prompts;

// The program-wide values of the user interface, one object per program (tests build their own):
// what the frame, the tab host, the dialogs and the pages share.
struct UiContext {
    UiContext(ReceiverContext& receiverContext, SettingsStore& settingsStore, Prompts& userPrompts);
    // The store is told to stop reporting into this object's prompts.
    ~UiContext();
    // The preference sheets run through this object's RunModal, so it stays where it was built.
    UiContext(const UiContext&) = delete;
    UiContext& operator=(const UiContext&) = delete;

    ReceiverContext& receiver;
    SettingsStore& store;
    Prompts& prompts;
    // The display settings of the Position and Plot pages; the tab host hands in their sheets.
    DisplayPreferences displayPreferences;
    // The receiver link; null when it could not be created (every use is then skipped).
    GpsComm* comm = nullptr;
    // Brings back a receiver that went away; the connection attempts tell it what worked. Null
    // while there is no link or no main window.
    LinkRecovery* linkRecovery = nullptr;

    // The fix status as the signal page keeps it; the tabs are painted in it.
    QColor FixStatusColour{255, 0, 0};

    bool SwVersionPending = false;
    bool ClockStatusPending = false;

    // Where the Serial Comm dialog finds its ports.
    PortDiscoveryOptions ports;

    // Runs a modal dialog and gives its result; tests answer dialogs through it.
    std::function<int(QDialog& dialog)> runModal;
    // The millisecond tick count (32 bits, compared by unsigned difference).
    std::function<std::uint32_t()> ticks;
    // How the protocol switch waits for the receiver to change over; sleeps when empty.
    std::function<void(std::chrono::milliseconds)> protocolSwitchWait;

    // The receiver setting dialogs of the "Command" menu; nothing happens while one is empty.
    std::function<void(QWidget* parent)> showPowerManagement;
    std::function<void(QWidget* parent)> showElevationMask;
    // The product selection changed; the built-in simulated receiver follows it. May be empty.
    std::function<void()> productChanged;
    // The location client's NMEA tunnel, switched from the Osprey's "Command" menu.
    std::function<void(bool enable)> setNmeaTunnel;

    AppSettings& Settings() { return store.Settings(); }
    int RunModal(QDialog& dialog);
    std::uint32_t Ticks() const;
};

}  // namespace vexa
