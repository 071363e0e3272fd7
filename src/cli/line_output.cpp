#include "cli/line_output.h"

#include <algorithm>
#include <cerrno>
#include <utility>

#include "platform/visible_text.h"

namespace vexa {

namespace {

constexpr std::chrono::milliseconds kLongestWait{50};

}  // namespace

LineOutput::LineOutput(std::FILE* stream, std::function<void()> waiting, std::size_t capacity)
    : writer_(stream), waiting_(std::move(waiting)), capacity_(capacity) {}

void LineOutput::Write(std::string_view line) {
    const std::string visible = NeedsVisibleEscapes(line) ? VisibleText(line) : std::string(line);
    // A rendered message may span lines; each counts.
    const auto lines = static_cast<std::size_t>(std::count(visible.begin(), visible.end(), '\n')) + 1;
    bool wasEmpty = false;
    {
        const std::lock_guard lock(mutex_);
        if (writeError_ != 0 || buffer_.size() - start_ + visible.size() + 1 > capacity_) {
            dropped_ += lines;
            return;
        }
        if (start_ > 0 && buffer_.size() + visible.size() + 1 > capacity_) {
            buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(start_));
            start_ = 0;
        }
        wasEmpty = start_ == buffer_.size();
        buffer_.insert(buffer_.end(), visible.begin(), visible.end());
        buffer_.push_back('\n');
        lines_ += lines;
    }
    if (wasEmpty && waiting_) waiting_();
}

void LineOutput::Pump() {
    const std::lock_guard lock(mutex_);
    PumpLocked();
}

void LineOutput::PumpLocked() {
    while (start_ < buffer_.size() && writeError_ == 0) {
        const long written = writer_.WriteSome(buffer_.data() + start_, buffer_.size() - start_);
        if (written < 0) {
            writeError_ = errno != 0 ? errno : EIO;
            break;
        }
        if (written == 0) return;
        const auto end = buffer_.begin() + static_cast<std::ptrdiff_t>(start_ + static_cast<std::size_t>(written));
        lines_ -= static_cast<std::size_t>(std::count(buffer_.begin() + static_cast<std::ptrdiff_t>(start_), end, '\n'));
        start_ += static_cast<std::size_t>(written);
    }
    if (writeError_ != 0) dropped_ += lines_;
    buffer_.clear();
    start_ = 0;
    lines_ = 0;
}

bool LineOutput::Pending() const {
    const std::lock_guard lock(mutex_);
    return start_ < buffer_.size();
}

bool LineOutput::Drain(std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        Pump();
        if (!Pending()) return true;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left <= std::chrono::milliseconds::zero()) break;
        writer_.WaitWritable(nullptr, std::min(left, kLongestWait));
    }
    const std::lock_guard lock(mutex_);
    dropped_ += lines_;
    buffer_.clear();
    start_ = 0;
    lines_ = 0;
    return false;
}

std::uint64_t LineOutput::DroppedLines() const {
    const std::lock_guard lock(mutex_);
    return dropped_;
}

int LineOutput::WriteError() const {
    const std::lock_guard lock(mutex_);
    return writeError_;
}

}  // namespace vexa
