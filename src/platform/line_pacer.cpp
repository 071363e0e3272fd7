#include "platform/line_pacer.h"

#include <algorithm>

namespace vexa {
namespace {

constexpr std::int64_t kBitsPerByte = 10;  // start bit, eight data bits, stop bit
constexpr std::int64_t kByteCost = kBitsPerByte * 1'000'000;
constexpr std::size_t kMinimumCapacity = 2048;

}  // namespace

LinePacer::LinePacer(int baud) : baud_(baud) {}

void LinePacer::setBaud(int baud) {
    baud_ = baud;
    credit_ = 0;
}

std::size_t LinePacer::capacity() const {
    return std::max(kMinimumCapacity, static_cast<std::size_t>(baud_ / kBitsPerByte * 2));
}

bool LinePacer::enqueue(std::span<const std::uint8_t> message) {
    if (queue_.size() + message.size() > capacity()) return false;
    queue_.insert(queue_.end(), message.begin(), message.end());
    return true;
}

void LinePacer::clear() {
    queue_.clear();
    credit_ = 0;
}

std::vector<std::uint8_t> LinePacer::advance(std::chrono::microseconds elapsed) {
    if (queue_.empty() || baud_ <= 0) {
        credit_ = 0;  // an idle line banks no time
        return {};
    }
    credit_ += elapsed.count() * baud_;
    const auto count = static_cast<std::size_t>(std::min<std::int64_t>(credit_ / kByteCost,
                                                                       static_cast<std::int64_t>(queue_.size())));
    credit_ -= static_cast<std::int64_t>(count) * kByteCost;
    std::vector<std::uint8_t> bytes(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(count));
    queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(count));
    if (queue_.empty()) credit_ = 0;
    return bytes;
}

std::chrono::microseconds LinePacer::untilNextByte() const {
    if (queue_.empty() || baud_ <= 0) return std::chrono::microseconds(0);
    const std::int64_t missing = std::max<std::int64_t>(0, kByteCost - credit_);
    return std::chrono::microseconds((missing + baud_ - 1) / baud_);
}

}  // namespace vexa
