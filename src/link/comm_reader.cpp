#include "link/comm_reader.h"

#include "platform/result_codes.h"
#include "platform/threads.h"

namespace vexa {

int CommReader::Start() {
    if (port_ != nullptr) return kResultOk;
    port_ = TakePort();
    if (port_ == nullptr) return kResultNoResource;
    running_ = true;
    if (const int result = StartThread(thread_, [this] { Run(); }); result != kResultOk) {
        running_ = false;
        GiveBackPort(port_);
        port_ = nullptr;
        return result;
    }
    return kResultOk;
}

int CommReader::Stop() {
    if (port_ == nullptr) return kResultOk;
    {
        std::lock_guard guard(sleepMutex_);
        running_ = false;
    }
    wake_.notify_all();
    const int result = EndThread(thread_);
    GiveBackPort(port_);
    port_ = nullptr;
    return result;
}

void CommReader::Run() {
    std::uint8_t buffer[kReadSize];
    while (running_) {
        {
            std::unique_lock guard(sleepMutex_);
            wake_.wait_for(guard, kIdleSleep, [this] { return !running_; });
        }
        // The running flag is looked at between reads too, so that a stream that never pauses
        // cannot keep the thread from ending.
        for (;;) {
            std::lock_guard chunk(chunkMutex_);
            if (!running_) break;
            std::size_t count = 0;
            const ReadOutcome outcome = port_->Read(buffer, sizeof buffer, count);
            if (outcome == ReadOutcome::kEnded) {
                // Closed before the report, so that whoever hears of it finds the port closed.
                port_->Close();
                consumer_.onEnded();
            }
            if (outcome != ReadOutcome::kBytes) break;
            consumer_.onBytes(std::span<const std::uint8_t>(buffer, count));
        }
        consumer_.onIdle();
    }
}

}  // namespace vexa
