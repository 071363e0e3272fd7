#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "link/connection/connection_status.h"
#include "link/connection/link_connection.h"
#include "link/ports/port_discovery.h"
#include "receiver/product/receiver_context.h"

namespace vexa {

inline constexpr std::string_view kPleaseWaitText = "Please wait.";
inline constexpr std::string_view kEnterAllFieldsText = "Please enter all fields.";

// How the controller reaches its front end (the connection dialog or the command line).
// Every member may be left empty.
struct ConnectionCallbacks {
    // A message box text.
    std::function<void(std::string_view text)> showMessage;
    // A receiver answered: the port and baud setting are to be stored as the user's settings.
    std::function<void(const std::string& portPath, int baudSetting)> saveSettings;
    // Automatic detection chose a rate: the baud selection should show the new setting.
    std::function<void()> showSettings;
    // The status line may have changed.
    std::function<void()> repaint;
    // A receiver answered: these settings worked, as the user chose them (kAutoBaud when the rate
    // was found by automatic detection).
    std::function<void(const std::string& portPath, int chosenBaudSetting)> connected;
};

// Opens the receiver's port and watches, one tick (a second) at a time, whether the comm
// reader recognises a frame or a sentence; with the baud setting "Auto" it steps through the
// automatic detection rates until one works. A source without a line speed of its own (a network
// stream) is only watched for its protocol, as at a fixed rate, and the status tells why it is not
// heard: it could not be reached, it ended, it sent nothing during the attempt, or, once connected,
// it has sent nothing for kTicksPerAttempt ticks (the ticks a replay stands paused not counted).
// Driven by the caller's ticks, so nothing here waits or shows anything.
class ConnectionController {
public:
    static constexpr int kTicksPerAttempt = 5;

    // `ports` says where the ports that exist are found, for the message about a port that cannot be opened.
    ConnectionController(LinkConnection& link, ReceiverContext& context, ConnectionCallbacks callbacks = {},
                         PortDiscoveryOptions ports = {});

    // The stored settings, shown when the dialog opens.
    void LoadSettings(std::string portPath, int baudSetting);

    // The user's Connect with the selected port and baud combo text ("Auto" or a rate). The
    // Osprey's rate is fixed, so its baud selection is not needed.
    void Connect(std::string_view portPath, std::string_view baudSelection);
    void Disconnect();
    // True when the caller may close; refused while an attempt is being watched.
    bool Done();
    // One second has passed.
    void Tick();

    StatusLine Status() const;
    // Why a source without a line speed could not be connected, as the status shows it; empty when it
    // was, or when nothing more than "Not connected" is known.
    const std::string& Problem() const { return problem_; }

    bool Testing() const { return testing_; }
    int TestTicks() const { return testTicks_; }
    int AutoBaudIndex() const { return autoBaudIndex_; }
    const std::string& PortPath() const { return portPath_; }
    int BaudSetting() const { return baudSetting_; }

private:
    void CloseLink();
    void ResetToggleCounters();
    void TickFixedBaud();
    void TickAutoBaud();
    bool ReceiverAnswered() const;
    // Counts the ticks without a byte while connected; a source that went quiet is shown so.
    void WatchForQuiet();
    // Whether no byte came since the attempt began.
    bool SilentSinceConnect() const;
    std::string NoDataText(int seconds) const;
    void SaveSettings();
    void ReportConnected(int chosenBaudSetting);
    void Report(std::string_view text);
    void Repaint();

    LinkConnection& link_;
    ReceiverContext& context_;
    ConnectionCallbacks callbacks_;
    PortDiscoveryOptions ports_;
    bool testing_ = false;
    int testTicks_ = 0;
    int autoBaudIndex_ = 0;
    // The source has no line speed of the program's choosing: only the protocol is detected.
    bool protocolOnly_ = false;
    std::string portPath_;
    int baudSetting_ = 0;
    std::string problem_;
    std::optional<std::uint64_t> bytesAtConnect_;
    std::optional<std::uint64_t> bytesAtLastTick_;
    int quietTicks_ = 0;
    bool quiet_ = false;  // connected, but nothing came for kTicksPerAttempt ticks
};

}  // namespace vexa
