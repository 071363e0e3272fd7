#include "location/transport/network_module.h"

#include <array>
#include <cerrno>
#include <cstring>

#include <netinet/in.h>
#include <sys/socket.h>

#include "location/transport/communication_manager.h"
#include "location/transport/host_interface.h"
#include "platform/tcp_socket.h"

namespace vexa {

namespace {

constexpr std::size_t kReceiveBytes = 1024;

}  // namespace

bool setServerSocketOptions(int socket, SocketOptionSetter set) {
    const int reuse = 1;
    const linger off{0, 0};
    const bool reused = set(socket, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse) == 0;
    const bool lingerOff = set(socket, SOL_SOCKET, SO_LINGER, &off, sizeof off) == 0;
    return reused && lingerOff;
}

NetworkModule::NetworkModule(CommunicationManager& manager, const ClientProfile& profile)
    : ReceivingTransport(manager, networkModuleFraming(), "Network Module-> Error posting message - msg ignored"),
      address_(profile.serverAddress.substr(0, kAddressCharacters)),
      port_(static_cast<std::uint16_t>(profile.serverPort)) {
    if (!wake_.valid()) manager_.reportError("NetworkModule->Cannot create critical section");
}

NetworkModule::~NetworkModule() { close(); }

bool NetworkModule::connect() {
    const int socket = ConnectTcp(address_, port_, kConnectTimeout);
    if (socket < 0) return false;
    if (!setServerSocketOptions(socket)) writeDebugOutput(" setsocketopt failed\n");
    manager_.logError("Network Connect:IP: " + address_ + " Port:" + std::to_string(port_));
    std::lock_guard lock(mutex_);
    socket_ = socket;
    // Bytes left over from an earlier connection would reach the new one as a broken frame.
    sendRing_.clear();
    return true;
}

bool NetworkModule::open() {
    close();
    if (!connect()) return false;
    if (!startWorker("NetworkModule:  Cannot create worker thread.")) {
        close();
        return false;
    }
    return true;
}

bool NetworkModule::close() {
    stopWorker();
    return closeSocket();
}

bool NetworkModule::closeSocket() {
    std::lock_guard lock(mutex_);
    if (socket_ < 0) return false;
    CloseTcp(socket_);
    socket_ = -1;
    return true;
}

void NetworkModule::receiveLoop() {
    std::array<std::uint8_t, kReceiveBytes> buffer{};
    while (running_) {
        const WakeEvent::Wait wait = wake_.waitReadable(socket_, std::chrono::milliseconds(-1));
        if (wait == WakeEvent::Wait::Woken || wait == WakeEvent::Wait::TimedOut) continue;
        std::size_t count = 0;
        const Received received = wait == WakeEvent::Wait::Readable
                                      ? ReceiveTcp(socket_, buffer.data(), buffer.size(), count)
                                      : Received::Failed;
        if (received == Received::Data) {
            std::lock_guard lock(mutex_);
            cut(std::span(buffer.data(), count));
        } else if (received != Received::Nothing) {
            // A dead connection never gives another byte: the module closes rather than spin on it.
            manager_.logError(received == Received::Closed
                                  ? std::string("Network Module-> Connection closed by server")
                                  : "Network Module-> Socket error: " + std::string(std::strerror(errno)));
            running_ = false;
            closeSocket();
        }
    }
    manager_.logError("Network Module-> Thread exiting normally");
}

// Sends the queued bytes in pieces; what is not sent stays queued.
bool NetworkModule::drain() {
    std::array<std::uint8_t, kWritePiece> piece{};
    while (const std::size_t count = sendRing_.peek(piece)) {
        const long sent = socket_ < 0 ? -1 : SendTcp(socket_, piece.data(), count, kSendTimeout);
        if (sent > 0) sendRing_.drop(static_cast<std::size_t>(sent));
        if (sent != static_cast<long>(count)) {
            manager_.logError("Error in socket write: " + std::string(sent < 0 ? std::strerror(errno) : "time-out"));
            return false;
        }
    }
    return true;
}

bool NetworkModule::write(const std::uint8_t* bytes, std::size_t length) {
    std::lock_guard lock(mutex_);
    // A frame goes into the ring whole or not at all, behind what earlier writes left.
    if (length > sendRing_.room() && !drain()) return false;
    if (length > sendRing_.room()) {
        manager_.logError("Error in socket write: frame longer than the send ring");
        return false;
    }
    sendRing_.append(std::span(bytes, length));
    return drain();
}

}  // namespace vexa
