#include "cli/line_output.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <utility>

#include "platform/visible_text.h"

namespace vexa {

namespace {

constexpr std::chrono::milliseconds kLongestWait{50};

}  // namespace

LineOutput::LineOutput(std::FILE* stream, std::function<void()> waiting, std::size_t capacity, const Clock& clock)
    : writer_(stream), clock_(clock), waiting_(std::move(waiting)), capacity_(capacity) {}

std::size_t LineOutput::AddWriter() {
    const std::lock_guard lock(mutex_);
    writers_.emplace_back();
    return writers_.size() - 1;
}

void LineOutput::Write(std::size_t writer, std::string_view line) {
    const std::string visible = NeedsVisibleEscapes(line) ? VisibleText(line) : std::string(line);
    const std::size_t size = visible.size() + 1;
    bool wasEmpty = false;
    {
        const std::lock_guard lock(mutex_);
        WriterQueue& queue = writers_.at(writer);
        const std::size_t share = capacity_ / writers_.size();
        if (writeError_ != 0 || queue.bytes.size() - queue.start + size > share) {
            // A rendered message may span lines; each counts.
            queue.dropped += static_cast<std::size_t>(std::count(visible.begin(), visible.end(), '\n')) + 1;
            return;
        }
        if (queue.start > 0 && queue.bytes.size() + size > share) {
            queue.bytes.erase(queue.bytes.begin(), queue.bytes.begin() + static_cast<std::ptrdiff_t>(queue.start));
            queue.start = 0;
        }
        wasEmpty = pending_ == 0;
        queue.bytes.insert(queue.bytes.end(), visible.begin(), visible.end());
        queue.bytes.push_back('\n');
        pending_ += size;
    }
    if (wasEmpty && waiting_) waiting_();
}

void LineOutput::Pump() {
    const std::lock_guard lock(mutex_);
    PumpLocked();
}

void LineOutput::PumpLocked() {
    while (pending_ > 0 && writeError_ == 0) {
        WriterQueue& queue = writers_[turn_];
        const auto first = queue.bytes.begin() + static_cast<std::ptrdiff_t>(queue.start);
        if (first == queue.bytes.end()) {
            turn_ = (turn_ + 1) % writers_.size();
            continue;
        }
        const auto last = midLine_ ? std::find(first, queue.bytes.end(), '\n') + 1 : queue.bytes.end();
        const long written = writer_.WriteSome(&*first, static_cast<std::size_t>(last - first));
        if (written < 0) {
            writeError_ = errno != 0 ? errno : EIO;
            break;
        }
        if (written == 0) return;
        queue.start += static_cast<std::size_t>(written);
        pending_ -= static_cast<std::size_t>(written);
        midLine_ = queue.bytes[queue.start - 1] != '\n';
        if (midLine_) continue;
        if (queue.start == queue.bytes.size()) {
            queue.bytes.clear();
            queue.start = 0;
        }
        turn_ = (turn_ + 1) % writers_.size();
    }
    if (writeError_ != 0) DropPendingLocked();
}

void LineOutput::DropPendingLocked() {
    for (WriterQueue& queue : writers_) {
        queue.dropped += static_cast<std::uint64_t>(
            std::count(queue.bytes.begin() + static_cast<std::ptrdiff_t>(queue.start), queue.bytes.end(), '\n'));
        queue.bytes.clear();
        queue.start = 0;
    }
    pending_ = 0;
    midLine_ = false;
}

bool LineOutput::Pending() const {
    const std::lock_guard lock(mutex_);
    return pending_ > 0;
}

bool LineOutput::Drain(SteadyTime deadline) {
    for (;;) {
        Pump();
        if (!Pending()) return true;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - clock_.SteadyNow());
        if (left <= std::chrono::milliseconds::zero()) break;
        writer_.WaitWritable(nullptr, std::min(left, kLongestWait));
    }
    const std::lock_guard lock(mutex_);
    DropPendingLocked();
    return false;
}

std::uint64_t LineOutput::DroppedLines(std::size_t writer) const {
    const std::lock_guard lock(mutex_);
    return writers_.at(writer).dropped;
}

int LineOutput::WriteError() const {
    const std::lock_guard lock(mutex_);
    return writeError_;
}

}  // namespace vexa
