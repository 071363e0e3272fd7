#include "location/transport/receiving_transport.h"

#include "location/transport/communication_manager.h"
#include "platform/result_codes.h"
#include "platform/threads.h"

namespace vexa {

ReceivingTransport::ReceivingTransport(CommunicationManager& manager, const ModuleFraming& framing,
                                       std::string_view postFailed)
    : Transport(manager), framing_(framing), postFailed_(postFailed),
      frames_(static_cast<FrameListener&>(*this), framing.rules) {}

ReceivingTransport::~ReceivingTransport() { stopWorker(); }

bool ReceivingTransport::startWorker(std::string_view threadFailed) {
    stopWorker();
    wake_.clear();
    {
        // A connection that ended mid-frame must not swallow the first frame of the next one.
        std::lock_guard lock(mutex_);
        frames_.restart();
    }
    running_ = true;
    if (StartThread(worker_, [this] { receiveLoop(); }) == kResultOk) return true;
    running_ = false;
    manager_.reportError(threadFailed);
    return false;
}

void ReceivingTransport::stopWorker() {
    running_ = false;
    wake_.signal();
    if (worker_.joinable()) (void)EndThread(worker_);  // a joinable thread always joins
}

void ReceivingTransport::onFrame(std::span<std::uint8_t> content) {
    if (!deliver(content.data(), content.size())) manager_.logError(postFailed_);
}

void ReceivingTransport::onRefused(FrameFault fault) { manager_.logError(framing_.refusal(fault)); }

}  // namespace vexa
