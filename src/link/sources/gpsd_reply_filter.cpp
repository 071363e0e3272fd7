#include "link/sources/gpsd_reply_filter.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

namespace vexa {

namespace {

constexpr std::string_view kReplyStart = R"({"class":")";

}  // namespace

void GpsdReplyFilter::Feed(std::span<const std::uint8_t> chunk, std::vector<std::uint8_t>& receiverBytes) {
    if (held_.empty()) {
        Scan(chunk, receiverBytes);
        return;
    }
    joined_.assign(held_.begin(), held_.end());
    joined_.insert(joined_.end(), chunk.begin(), chunk.end());
    held_.clear();
    Scan(joined_, receiverBytes);
}

void GpsdReplyFilter::Scan(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& receiverBytes) {
    if (inReply_) bytes = ContinueReply(bytes, receiverBytes);
    while (!bytes.empty()) {
        const auto* brace = static_cast<const std::uint8_t*>(std::memchr(bytes.data(), '{', bytes.size()));
        if (brace == nullptr) {
            receiverBytes.insert(receiverBytes.end(), bytes.begin(), bytes.end());
            return;
        }
        const auto start = static_cast<std::size_t>(brace - bytes.data());
        receiverBytes.insert(receiverBytes.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(start));
        const std::span<const std::uint8_t> rest = bytes.subspan(start);
        const std::size_t compared = std::min(rest.size(), kReplyStart.size());
        if (std::memcmp(rest.data(), kReplyStart.data(), compared) != 0) {
            receiverBytes.push_back(rest.front());
            bytes = rest.subspan(1);
            continue;
        }
        if (compared < kReplyStart.size()) {
            held_.assign(rest.begin(), rest.end());
            return;
        }
        inReply_ = true;
        reply_.clear();
        bytes = ContinueReply(rest, receiverBytes);
    }
}

std::span<const std::uint8_t> GpsdReplyFilter::ContinueReply(std::span<const std::uint8_t> bytes,
                                                             std::vector<std::uint8_t>& receiverBytes) {
    const auto* lineFeed = static_cast<const std::uint8_t*>(std::memchr(bytes.data(), '\n', bytes.size()));
    const std::size_t taken = lineFeed == nullptr ? bytes.size() : static_cast<std::size_t>(lineFeed - bytes.data()) + 1;
    reply_.append(reinterpret_cast<const char*>(bytes.data()), taken);
    if (reply_.size() > kMaxReplyBytes) {
        receiverBytes.insert(receiverBytes.end(), reply_.begin(), reply_.end());
        reply_.clear();
        inReply_ = false;
        return bytes.subspan(taken);
    }
    if (lineFeed == nullptr) return {};
    reply_.pop_back();
    if (!reply_.empty() && reply_.back() == '\r') reply_.pop_back();
    replies_.push_back(std::move(reply_));
    reply_.clear();
    inReply_ = false;
    return bytes.subspan(taken);
}

std::vector<std::string> GpsdReplyFilter::TakeReplies() { return std::exchange(replies_, {}); }

}  // namespace vexa
