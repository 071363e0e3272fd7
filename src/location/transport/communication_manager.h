#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string_view>

#include "location/messages/client_profile.h"
#include "location/messages/message.h"
#include "location/messages/message_decoder.h"
#include "location/transport/client_log.h"
#include "location/transport/host_interface.h"
#include "location/transport/message_pipe.h"
#include "location/transport/transport.h"

namespace vexa {

class CommunicationManager;

// Builds the manager's serial and network modules from the profile.
struct TransportFactory {
    using Make = std::function<std::unique_ptr<Transport>(CommunicationManager&, const ClientProfile&)>;
    Make serial;
    Make network;
};

// Routes the location client's messages between the call processor and the two peers: received
// messages into the pipe, sent ones by channel to the receiver (own serial module or the host) or to
// the server. It is also the client's one outlet for status and error texts and its two log files.
class CommunicationManager {
public:
    // The host interface must outlive the manager.
    CommunicationManager(const ClientProfile& profile, HostInterface& host, const TransportFactory& transports);
    ~CommunicationManager();
    CommunicationManager(const CommunicationManager&) = delete;
    CommunicationManager& operator=(const CommunicationManager&) = delete;

    // Opens the logs when enabled and, unless the host carries the receiver traffic, the serial module.
    bool start();
    bool startNetwork();
    void stopNetwork();
    // Closes both modules, empties the pipe, closes the logs and destroys the modules. Always true.
    bool shutdown();

    // Takes the message: logs it by channel and queues it for the call processor.
    void postMessage(std::unique_ptr<Message> message);
    // Renders, logs and writes the message to its peer; the caller keeps it.
    bool sendMessage(Message& message);
    std::unique_ptr<Message> getMessage(std::chrono::milliseconds timeout);
    // Ends a getMessage wait at once, so that a stopping call processor is not held up.
    void interruptGetMessage() { pipe_.interruptWait(); }
    // Hands a frame the host received from the receiver to the serial module's decoding.
    bool deliverFromHost(const std::uint8_t* bytes, std::size_t length);

    bool networkUp() const { return networkUp_; }
    // Counted up, but the network module has closed itself: the server went away. Never waits: false
    // while the module is busy connecting or sending.
    bool networkLost();
    // The network counts as down from now on; the module itself stays open.
    void markNetworkDown() { networkUp_ = false; }
    bool external() const { return external_; }
    bool logEnabled() const { return logEnabled_; }
    MessagePipe& pipe() { return pipe_; }

    void reportStatus(std::string_view text);
    // Reports the text with the last system error number (errno): to the host's error callback and
    // the error log as it is, to the debug output as "ERROR: text , ErrNo:N".
    void reportError(std::string_view text);
    void logTrace(std::string_view text);
    void logError(std::string_view text);
    void logTraffic(std::string_view label, const std::uint8_t* bytes, std::size_t length);
    void logDump(const std::uint8_t* bytes, std::size_t length);

private:
    // How a message of one channel is logged: its label, or the text when it has no frame.
    struct LogRoute {
        std::uint8_t channel;
        std::string_view label;
        std::string_view noFrame;
        bool receivedWithClearFlag;  // log the checksum as the receiver sent it, bit 15 clear
    };

    // False when no route is for the channel.
    bool logByRoute(std::span<const LogRoute> routes, std::uint8_t channel, const std::uint8_t* frame,
                    std::size_t length);
    void logReceived(Message& message);
    void logSent(Message& message, const std::uint8_t* frame);
    void logWithClearedFlag(std::string_view label, const std::uint8_t* frame, std::size_t length);

    HostInterface& host_;
    MessagePipe pipe_;
    // One lock per module, so that connecting to the server never holds up the receiver's traffic.
    std::mutex serialMutex_;
    std::mutex networkMutex_;
    std::unique_ptr<Transport> serial_;
    std::unique_ptr<Transport> network_;
    MessageDecoder hostDecoder_;
    std::mutex externalMutex_;
    std::atomic<bool> pipeEnabled_{false};
    std::atomic<bool> networkUp_{false};
    std::atomic<bool> logEnabled_;
    const bool external_;
    const std::filesystem::path tracePath_;
    const std::filesystem::path errorPath_;
    LogFile trace_;
    LogFile errors_;
};

}  // namespace vexa
