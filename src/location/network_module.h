#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "location/byte_ring.h"
#include "location/client_profile.h"
#include "location/frame_cutter.h"
#include "location/transport.h"
#include "platform/wake_event.h"

namespace vexa {

// The client's TCP link to the assistance server. A worker thread cuts the received stream into frames
// and posts their messages; it closes the module when the server closes the connection or the socket
// fails. write() queues frames in a send ring; what a failed send left stays queued for the next write.
class NetworkModule : public Transport, private FrameCutter::Listener {
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
    // Stops the worker and closes the socket; false when closing the socket fails.
    bool close() override;
    bool isRunning() const override { return running_; }

private:
    void onFrame(std::span<const std::uint8_t> content) override;
    void onRefused(std::string_view text) override;
    bool connect();
    void receiveLoop();
    void closeSocket();
    bool drain();

    const std::string address_;
    const std::uint16_t port_;
    std::mutex mutex_;  // the socket, the send ring and the hand-over to the manager
    ByteRing<kRingBytes> sendRing_;
    int socket_ = -1;
    std::atomic<bool> running_{false};
    WakeEvent wake_;
    FrameCutter cutter_;
    std::thread worker_;
};

}  // namespace vexa
