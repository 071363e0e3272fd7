#pragma once

#include <atomic>
#include <mutex>
#include <string_view>
#include <thread>

#include "location/transport/module_framing.h"
#include "location/transport/transport.h"
#include "platform/wake_event.h"

namespace vexa {

// What the serial and the network module share: a worker thread that cuts received bytes into frames
// under the module lock and posts their messages, and that ends at once when the module stops it.
class ReceivingTransport : public Transport, private FrameListener {
public:
    ~ReceivingTransport() override;
    bool isRunning() const override { return running_; }

protected:
    ReceivingTransport(CommunicationManager& manager, const ModuleFraming& framing, std::string_view postFailed);

    // Starts receiveLoop() on the worker with the frame receiver hunting for a start; reports threadFailed
    // and gives false when no thread can be had.
    bool startWorker(std::string_view threadFailed);
    // Ends the worker and waits for it. Not to be called from the worker.
    void stopWorker();
    virtual void receiveLoop() = 0;
    // Cuts received bytes; the caller holds the module lock.
    void cut(std::span<const std::uint8_t> bytes) { frames_.feed(bytes); }

    std::mutex mutex_;  // the module's buffers and device, and the hand-over to the manager
    std::atomic<bool> running_{false};
    WakeEvent wake_;

private:
    void onFrame(std::span<std::uint8_t> content) override;
    void onRefused(FrameFault fault) override;

    ModuleFraming framing_;
    std::string_view postFailed_;
    FrameReceiver frames_;
    std::thread worker_;
};

}  // namespace vexa
