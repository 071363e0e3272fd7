#include "link/comm_reader.h"

#include "platform/threads.h"

namespace vexa {

LinkResult CommReader::Start() {
    if (thread_.joinable()) return kResultOk;
    running_ = true;
    if (const LinkResult result = StartThread(thread_, [this] { Run(); }); result != kResultOk) {
        running_ = false;
        return result;
    }
    return kResultOk;
}

LinkResult CommReader::Stop() {
    if (!thread_.joinable()) return kResultOk;
    running_ = false;
    wake_.signal();
    return EndThread(thread_);
}

void CommReader::Run() {
    std::uint8_t buffer[kReadSize];
    while (running_) {
        // Without a source there is no pause to tell of; the consumer may be fed by its owner then.
        if (ReadWhileWaiting(buffer)) consumer_.onIdle();
        WaitForMore();
    }
}

bool CommReader::ReadWhileWaiting(std::uint8_t* buffer) {
    for (;;) {
        LetWaitingActionsIn();
        std::lock_guard chunk(chunkMutex_);
        if (source_ == nullptr) return false;
        // The running flag is looked at between reads too, so that a stream that never pauses
        // cannot keep the thread from ending.
        if (!running_) return true;
        std::size_t count = 0;
        const ReadOutcome outcome = source_->Read(buffer, kReadSize, count);
        if (outcome == ReadOutcome::kEnded) {
            // Closed before the report, so that whoever hears of it finds the source closed; a close
            // that fails leaves nothing more to do with a source that has ended anyway.
            (void)source_->Close();
            consumer_.onEnded();
        }
        if (outcome != ReadOutcome::kBytes) return true;
        consumer_.onBytes(std::span<const std::uint8_t>(buffer, count));
    }
}

void CommReader::WaitForMore() {
    LetWaitingActionsIn();
    std::lock_guard chunk(chunkMutex_);
    // A request made before the clear is seen here; one made after it ends the wait at once. After
    // a wait that found bytes the clear is left out, one system call less per burst: a wake that
    // came meanwhile ends the next wait at once and is cleared then.
    if (!lastWaitFoundBytes_) wake_.clear();
    if (!running_ || chunkRequests_ > 0) return;
    const WakeEvent::Wait outcome =
        source_ != nullptr ? source_->WaitReadable(wake_, kIdleWait) : wake_.waitReadable(-1, kIdleWait);
    lastWaitFoundBytes_ = outcome == WakeEvent::Wait::Readable;
    // A wait that cannot be had must not turn into a busy loop.
    if (outcome == WakeEvent::Wait::Failed) wake_.sleep(kIdleWait);
}

// The chunk lock is not fair: a reader that takes it again at once could keep an action waiting
// through a whole stream, so the reader lets every waiting action go first.
void CommReader::LetWaitingActionsIn() {
    while (chunkRequests_ > 0) std::this_thread::yield();
}

}  // namespace vexa
