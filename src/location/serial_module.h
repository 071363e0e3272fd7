#pragma once

#include <atomic>
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

// The client's own serial link to the receiver: a worker thread cuts the received bytes into frames
// and posts their messages; write() sends frames in pieces of at most 1024 bytes.
class SerialModule : public Transport, private FrameCutter::Listener {
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
    bool isRunning() const override { return running_; }

private:
    void onFrame(std::span<const std::uint8_t> content) override;
    void onRefused(std::string_view text) override;
    void receiveLoop();
    bool writePort(const std::uint8_t* bytes, std::size_t length);

    const std::string devicePath_;
    const std::uint32_t baudRate_;
    std::mutex mutex_;  // the rings, the device's writes and the hand-over to the manager
    ByteRing<kRingBytes> receiveRing_;
    ByteRing<kRingBytes> sendRing_;
    int fd_ = -1;
    std::atomic<bool> running_{false};
    WakeEvent wake_;
    FrameCutter cutter_;
    std::thread worker_;
};

}  // namespace vexa
