#include "link/connection/connection_controller.h"

#include <cstddef>
#include <optional>
#include <utility>

#include "link/connection/baud_settings.h"
#include "link/connection/port_open_failure.h"
#include "platform/result_codes.h"
#include "receiver/product/product_table.h"

namespace vexa {

namespace {

constexpr int kAutoBaudCount = static_cast<int>(kAutoBaudRates.size());

int AutoBaudRate(int index) { return kAutoBaudRates[static_cast<std::size_t>(index)]; }

}  // namespace

ConnectionController::ConnectionController(LinkConnection& link, ReceiverContext& context,
                                           ConnectionCallbacks callbacks, PortDiscoveryOptions ports)
    : link_(link), context_(context), callbacks_(std::move(callbacks)), ports_(std::move(ports)) {}

void ConnectionController::LoadSettings(std::string portPath, int baudSetting) {
    portPath_ = std::move(portPath);
    baudSetting_ = baudSetting;
}

void ConnectionController::Connect(std::string_view portPath, std::string_view baudSelection) {
    if (testing_) {
        Report(kPleaseWaitText);
        return;
    }
    const std::optional<int> fixedBaud = FixedBaud(context_.ProductSelection);
    const std::optional<int> baud = fixedBaud ? fixedBaud : ParseBaudSelection(baudSelection);
    if (portPath.empty() || !baud) {
        Report(kEnterAllFieldsText);
        return;
    }
    portPath_ = portPath;
    baudSetting_ = *baud;
    problem_.clear();

    CloseLink();
    ResetToggleCounters();
    testTicks_ = 0;

    int rate = baudSetting_;
    if (baudSetting_ == kAutoBaud) {
        autoBaudIndex_ = 0;
        rate = AutoBaudRate(autoBaudIndex_);
    }
    if (link_.Connect(portPath_, rate) != kResultOk) {
        if (!link_.BaudChangeable()) problem_ = link_.ConnectProblem();
        Report(ConnectFailureText(link_, portPath_, ports_));
        Repaint();
        return;
    }
    protocolOnly_ = !link_.BaudChangeable();
    bytesAtConnect_ = link_.BytesReceived();
    testing_ = true;
    Repaint();
}

void ConnectionController::Disconnect() {
    if (testing_) {
        Report(kPleaseWaitText);
        return;
    }
    problem_.clear();
    CloseLink();
    ResetToggleCounters();
    Repaint();
}

bool ConnectionController::Done() {
    if (testing_) {
        Report(kPleaseWaitText);
        return false;
    }
    return true;
}

void ConnectionController::Tick() {
    if (!testing_) {
        WatchForQuiet();
        return;
    }
    ++testTicks_;
    if (baudSetting_ == kAutoBaud && !protocolOnly_) {
        TickAutoBaud();
        Repaint();
    } else {
        TickFixedBaud();
    }
}

void ConnectionController::TickFixedBaud() {
    if (ReceiverAnswered()) {
        testing_ = false;
        SaveSettings();
        ReportConnected(baudSetting_);
        Repaint();
    } else if (const std::string reason = link_.EndReason(); !reason.empty()) {
        // A source that connects in the background tells here why it could not.
        testing_ = false;
        CloseLink();
        if (protocolOnly_) problem_ = reason;
        Report(reason);
        Repaint();
    } else if (testTicks_ >= kTicksPerAttempt) {
        testing_ = false;
        if (protocolOnly_ && SilentSinceConnect()) problem_ = NoDataText(testTicks_);
        CloseLink();
        Repaint();
    }
}

void ConnectionController::WatchForQuiet() {
    const std::optional<std::uint64_t> bytes = link_.BytesReceived();
    if (!protocolOnly_ || !bytes || context_.LinkProtocol == kNotConnected) {
        quietTicks_ = 0;
        quiet_ = false;
        bytesAtLastTick_.reset();
        return;
    }
    // A paused replay's quiet counts from when it plays again.
    quietTicks_ = bytes == bytesAtLastTick_ && !link_.Paused() ? quietTicks_ + 1 : 0;
    bytesAtLastTick_ = bytes;
    const bool quiet = quietTicks_ >= kTicksPerAttempt;
    if (quiet == quiet_) return;
    quiet_ = quiet;
    Repaint();
}

bool ConnectionController::SilentSinceConnect() const {
    const std::optional<std::uint64_t> bytes = link_.BytesReceived();
    return bytes && bytes == bytesAtConnect_;
}

std::string ConnectionController::NoDataText(int seconds) const {
    return "No data from " + portPath_ + " for " + std::to_string(seconds) + " s";
}

void ConnectionController::TickAutoBaud() {
    if (ReceiverAnswered()) {
        baudSetting_ = AutoBaudRate(autoBaudIndex_);
        testing_ = false;
        SaveSettings();
        if (callbacks_.showSettings) callbacks_.showSettings();
        ReportConnected(kAutoBaud);
        return;
    }
    if (testTicks_ < kTicksPerAttempt) return;
    CloseLink();
    ++autoBaudIndex_;
    if (autoBaudIndex_ < kAutoBaudCount) {
        testTicks_ = 0;
        // A port that fails to open now simply shows nothing for the next five ticks.
        (void)link_.Connect(portPath_, AutoBaudRate(autoBaudIndex_));
    } else {
        testing_ = false;
    }
}

// A frame decoded just before the port closed may still set the protocol; clearing it after
// the close keeps that late frame from being credited to the next rate tried.
void ConnectionController::CloseLink() {
    (void)link_.Disconnect();  // closing what is not open is no failure here
    context_.LinkProtocol = kNotConnected;
}

void ConnectionController::ResetToggleCounters() {
    context_.DebugToggleCount = kDebugToggleThreshold;
    context_.NavLibToggleCount = kNavLibToggleThreshold;
    context_.NmeaChannelCount = kNmeaChannelToggleThreshold;
}

bool ConnectionController::ReceiverAnswered() const { return context_.LinkProtocol != kNotConnected; }

StatusLine ConnectionController::Status() const {
    const bool connected = context_.LinkProtocol != kNotConnected;
    const std::string problem = connected ? (quiet_ ? NoDataText(kTicksPerAttempt) : "") : problem_;
    return StatusLineFor({testing_, baudSetting_, autoBaudIndex_, context_.LinkProtocol, context_.ProductSelection,
                          protocolOnly_, problem});
}

void ConnectionController::SaveSettings() {
    if (callbacks_.saveSettings) callbacks_.saveSettings(portPath_, baudSetting_);
}

void ConnectionController::ReportConnected(int chosenBaudSetting) {
    bytesAtLastTick_ = link_.BytesReceived();
    quietTicks_ = 0;
    quiet_ = false;
    if (callbacks_.connected) callbacks_.connected(portPath_, chosenBaudSetting);
}

void ConnectionController::Report(std::string_view text) {
    if (callbacks_.showMessage) callbacks_.showMessage(text);
}

void ConnectionController::Repaint() {
    if (callbacks_.repaint) callbacks_.repaint();
}

}  // namespace vexa
