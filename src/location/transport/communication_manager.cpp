#include "location/transport/communication_manager.h"

#include <cerrno>
#include <string>
#include <vector>

#include "location/messages/logical_channel.h"

namespace vexa {

namespace {

std::unique_ptr<Transport> make(const TransportFactory::Make& factory, CommunicationManager& manager,
                                const ClientProfile& profile) {
    return factory ? factory(manager, profile) : nullptr;
}

bool towardsReceiver(std::uint8_t channel) {
    return channel == kAi3Channel || channel == kFChannel || channel == kNmeaChannel || channel == kBinaryChannel;
}

}  // namespace

CommunicationManager::CommunicationManager(const ClientProfile& profile, HostInterface& host,
                                           const TransportFactory& transports)
    : host_(host),
      logEnabled_(profile.logEnabled != 0),
      external_(profile.externalSerial != 0),
      tracePath_(profile.logDirectory / (profile.msName + ".txt")),
      errorPath_(profile.logDirectory / "error.txt") {
    serial_ = make(transports.serial, *this, profile);
    network_ = make(transports.network, *this, profile);
}

CommunicationManager::~CommunicationManager() { shutdown(); }

bool CommunicationManager::start() {
    if (logEnabled_) {
        if (!errors_.open(errorPath_)) {
            reportStatus("Cannot open error file.\n");
            return false;
        }
        const std::string version = "CPM Version: " + std::string(kClientVersionText);
        logError(version);
        if (trace_.open(tracePath_)) {
            logTrace(version);
        } else {
            logError("Cannot open log file.");
            logEnabled_ = false;
        }
    }
    if (!external_) {
        std::lock_guard lock(serialMutex_);
        if (!serial_ || !serial_->open()) {
            logError("commManager:  could not open serial");
            pipeEnabled_ = false;
            return false;
        }
    }
    pipeEnabled_ = true;
    return true;
}

bool CommunicationManager::startNetwork() {
    {
        // Connecting may take seconds; only the network module's own lock is held meanwhile.
        std::lock_guard lock(networkMutex_);
        networkUp_ = network_ && network_->open();
    }
    if (!networkUp_) logError("commManager:  could not start network - running autonomous mode");
    return networkUp_;
}

bool CommunicationManager::networkLost() {
    // A module busy connecting or sending has not been lost; the caller must not wait for it.
    std::unique_lock lock(networkMutex_, std::try_to_lock);
    return lock.owns_lock() && networkUp_ && network_ && !network_->isRunning();
}

void CommunicationManager::stopNetwork() {
    std::lock_guard lock(networkMutex_);
    if (network_) network_->close();
    networkUp_ = false;
}

bool CommunicationManager::shutdown() {
    // The modules first, so that what closing them reports still reaches the error log.
    std::unique_ptr<Transport> serial;
    std::unique_ptr<Transport> network;
    {
        std::scoped_lock lock(serialMutex_, networkMutex_);
        if (!external_ && serial_ && !serial_->close()) logError("Could not close serial port - invalid serial handle");
        if (network_ && !network_->close()) logError("Network already closed");
        serial = std::move(serial_);
        network = std::move(network_);
    }
    pipeEnabled_ = false;
    networkUp_ = false;
    pipe_.flush();
    if (logEnabled_) {
        logTrace("Log File Closed");
        trace_.close();
        logError("Error File Closed");
        errors_.close();
    }
    return true;
}

void CommunicationManager::postMessage(std::unique_ptr<Message> message) {
    if (!message) {
        logError("commMgr: postMessage message empty.");
        return;
    }
    if (!pipeEnabled_) {
        logError("commMgr: flushing message pipe.");
        pipe_.flush();
        return;
    }
    if (logEnabled_) logReceived(*message);
    pipe_.put(std::move(message));
}

void CommunicationManager::logReceived(Message& message) {
    const std::uint8_t* frame = message.getBytes();
    const std::size_t length = frame ? message.getLength() : 0;
    if (message.channel() == kAi3Channel) {
        if (message.id() != 2 && message.id() != 3) {
            logTrace("RVX->CP:AI3 msg error");
        } else if (frame) {
            logTraffic("RVX->CP:AI3", frame, length);
        }
        return;
    }
    static constexpr LogRoute kRoutes[] = {
        {kFChannel, "RVX->CP:F", "F_CHANNEL:  getBytes() buffer too small - increase buffer size", true},
        {kNmeaChannel, "RVX->CP:NMEA", "NMEA_CHANNEL:  getBytes() buffer too small - increase buffer size", true},
        {kMasChannel, "MAS->CP:MAS", "MAS_CHANNEL:  getBytes() buffer too small - increase buffer size", false},
        {kStatChannel, "RVX->CP:STAT", "STAT_CHANNEL:  getBytes() buffer too small - increase buffer size", false},
    };
    if (logByRoute(kRoutes, message.channel(), frame, length)) return;
    logTrace("->CP:Unknown");
    if (frame) logDump(frame, length);
}

bool CommunicationManager::logByRoute(std::span<const LogRoute> routes, std::uint8_t channel,
                                      const std::uint8_t* frame, std::size_t length) {
    for (const LogRoute& route : routes) {
        if (route.channel != channel) continue;
        if (!frame) {
            logError(route.noFrame);
        } else if (route.receivedWithClearFlag) {
            logWithClearedFlag(route.label, frame, length);
        } else {
            logTraffic(route.label, frame, length);
        }
        return true;
    }
    return false;
}

// Frames from the receiver arrive with bit 15 of their checksum clear; the rendering sets it.
void CommunicationManager::logWithClearedFlag(std::string_view label, const std::uint8_t* frame, std::size_t length) {
    std::vector<std::uint8_t> copy(frame, frame + length);
    if (length >= 4) copy[length - 4] &= 0x7F;
    logTraffic(label, copy.data(), copy.size());
}

bool CommunicationManager::sendMessage(Message& message) {
    if (!pipeEnabled_) return false;
    const std::uint8_t* frame = message.getBytes();
    logSent(message, frame);
    if (frame == nullptr) return false;
    const std::size_t length = message.getLength();
    const std::uint8_t channel = message.channel();
    if (towardsReceiver(channel)) {
        if (external_) {
            std::lock_guard lock(externalMutex_);
            if (host_.callbacks().externalWrite) host_.callbacks().externalWrite(frame, length);
            return true;
        }
        std::lock_guard lock(serialMutex_);
        return serial_ && serial_->send(message);
    }
    if (channel == kMasChannel) {
        std::lock_guard lock(networkMutex_);
        return network_ && network_->send(message);
    }
    logError("CommunicationManager.sendMessage: Invalid Logic Channel: ");
    return false;
}

void CommunicationManager::logSent(Message& message, const std::uint8_t* frame) {
    if (!logEnabled_) return;
    static constexpr LogRoute kRoutes[] = {
        {kAi3Channel, "CP->RVX:AI3", "AI3_CHANNEL: getBytes() buffer too small - increase buffer size.", false},
        {kFChannel, "CP->RVX:F", "Send F_CHANNEL: getBytes() buffer too small - increase buffer size.", false},
        {kNmeaChannel, "CP->RVX:NMEA", "NMEA_CHANNEL: getBytes() buffer too small - increase buffer size.", false},
        {kBinaryChannel, "CP->RVX:XTN", "XTN_CHANNEL: getBytes() buffer too small - increase buffer size.", false},
        {kMasChannel, "CP->MAS:MAS", "MAS_CHANNEL: getBytes() buffer too small - increase buffer size.", false},
    };
    logByRoute(kRoutes, message.channel(), frame, frame ? message.getLength() : 0);
}

std::unique_ptr<Message> CommunicationManager::getMessage(std::chrono::milliseconds timeout) {
    return pipe_.waitTake(timeout);
}

bool CommunicationManager::deliverFromHost(const std::uint8_t* bytes, std::size_t length) {
    std::lock_guard lock(serialMutex_);
    if (serial_) return serial_->deliver(bytes, length);
    // A host that carries the receiver traffic needs no serial module of the client.
    if (auto message = hostDecoder_.decodeMessage(bytes, length)) postMessage(std::move(message));
    return true;
}

void CommunicationManager::reportStatus(std::string_view text) {
    const std::string_view kept = host_.rotate(text);
    if (host_.callbacks().display) host_.callbacks().display(kept);
    host_.debug(std::string(kept) + "\n");
}

void CommunicationManager::reportError(std::string_view text) {
    const int code = errno;
    // Only the debug output gets the decorated text; the host and the error log get the text itself.
    const std::string formatted = "ERROR: " + std::string(text) + " , ErrNo:" + std::to_string(code) + "\n";
    host_.debug(host_.rotate(formatted));
    if (host_.callbacks().error) host_.callbacks().error(code, text);
    logError(text);
}

void CommunicationManager::logTrace(std::string_view text) {
    if (logEnabled_) trace_.write(formatLogLine(host_.stamp(), text));
}

void CommunicationManager::logError(std::string_view text) {
    if (logEnabled_) errors_.write(formatLogLine(host_.stamp(), text));
}

void CommunicationManager::logTraffic(std::string_view label, const std::uint8_t* bytes, std::size_t length) {
    if (!logEnabled_) return;
    const LogStamp stamp = host_.stamp();
    const std::string lead = std::string(label) + ":" + stamp.date + ":" + stamp.time + ":";
    trace_.write(formatHexDump(lead, bytes, length));
}

void CommunicationManager::logDump(const std::uint8_t* bytes, std::size_t length) {
    if (!logEnabled_) return;
    const LogStamp stamp = host_.stamp();
    trace_.write(formatHexDump(stamp.date + ":" + stamp.time + ":", bytes, length));
}

}  // namespace vexa
