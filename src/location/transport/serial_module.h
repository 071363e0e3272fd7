#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "location/messages/client_profile.h"
#include "location/transport/byte_ring.h"
#include "location/transport/receiving_transport.h"

namespace vexa {

// The client's own serial link to the receiver: a worker thread cuts the received bytes into frames
// and posts their messages; write() sends frames in pieces of at most 1024 bytes.
class SerialModule : public ReceivingTransport {
public:
    static constexpr std::size_t kRingBytes = 4096;
    static constexpr std::size_t kReadBytes = 128;
    static constexpr std::size_t kWritePiece = 1024;

    SerialModule(CommunicationManager& manager, const ClientProfile& profile);
    ~SerialModule() override;

    bool write(const std::uint8_t* bytes, std::size_t length) override;
    // Opens and configures the device, then starts the worker.
    bool open() override;
    // Stops the worker (it ends at once) and closes the device; false when no device was open.
    bool close() override;

private:
    void receiveLoop() override;
    bool writePort(const std::uint8_t* bytes, std::size_t length);

    const std::string devicePath_;
    const std::uint32_t baudRate_;
    ByteRing<kRingBytes> receiveRing_;
    ByteRing<kRingBytes> sendRing_;
    int fd_ = -1;
};

}  // namespace vexa
