#include "location/transport/host_interface.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace vexa {

void writeDebugOutput(std::string_view text) {
    static const bool enabled = std::getenv("VEXA_DEBUG") != nullptr;
    if (enabled) std::fwrite(text.data(), 1, text.size(), stderr);
}

HostInterface::HostInterface(HostCallbacks callbacks, DebugSink debug, StampSource stamps)
    : callbacks_(std::move(callbacks)), debug_(std::move(debug)), stamps_(std::move(stamps)) {}

std::string_view HostInterface::rotate(std::string_view text) {
    std::lock_guard lock(mutex_);
    auto& buffer = texts_[next_];
    next_ = (next_ + 1) % kTextBuffers;
    const std::size_t kept = std::min(text.size(), kTextCapacity - 1);
    std::copy_n(text.begin(), kept, buffer.begin());
    buffer[kept] = '\0';
    return {buffer.data(), kept};
}

void HostInterface::debug(std::string_view text) const {
    if (debug_) debug_(text);
}

}  // namespace vexa
