#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include <sys/socket.h>

#include "location/messages/client_profile.h"
#include "location/transport/byte_ring.h"
#include "location/transport/receiving_transport.h"

namespace vexa {

// How a socket option is set: ::setsockopt, or in a test a stand-in that refuses on purpose.
using SocketOptionSetter = int (*)(int socket, int level, int name, const void* value, socklen_t length);

// Sets SO_REUSEADDR on and SO_LINGER off on the connection to the server, each whatever became of
// the other; false when either was refused.
bool setServerSocketOptions(int socket, SocketOptionSetter set = ::setsockopt);

// The client's TCP link to the assistance server. A worker thread cuts the received stream into frames
// and posts their messages; it closes the module when the server closes the connection or the socket
// fails. write() queues frames in a send ring; what a failed send left stays queued for the next write.
class NetworkModule : public ReceivingTransport {
public:
    static constexpr std::size_t kRingBytes = 4096;
    static constexpr std::size_t kWritePiece = 1024;
    static constexpr std::size_t kAddressCharacters = 19;
    static constexpr std::chrono::milliseconds kConnectTimeout{3000};
    static constexpr std::chrono::milliseconds kSendTimeout{2000};

    NetworkModule(CommunicationManager& manager, const ClientProfile& profile);
    ~NetworkModule() override;

    bool write(const std::uint8_t* bytes, std::size_t length) override;
    // Connects (closing an earlier connection first) and starts the worker.
    bool open() override;
    // Stops the worker and closes the socket; false when it was closed already (by an earlier close,
    // or by the worker when the server went away).
    bool close() override;

private:
    bool connect();
    void receiveLoop() override;
    // False when no socket was open.
    bool closeSocket();
    bool drain();

    const std::string address_;
    const std::uint16_t port_;
    ByteRing<kRingBytes> sendRing_;
    int socket_ = -1;
};

}  // namespace vexa
