#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string_view>

#include "location/messages/host_callbacks.h"
#include "location/transport/client_log.h"

namespace vexa {

inline constexpr std::string_view kClientVersionText = "ClientProfileManager1.9BETA";

// Writes to standard error when the environment variable VEXA_DEBUG is set.
void writeDebugOutput(std::string_view text);

// What the location client knows of its host: the callback table, where debug text goes, the
// clock of the log stamps, and the ten rotating buffers that hold the latest status and error texts.
class HostInterface {
public:
    using DebugSink = std::function<void(std::string_view)>;
    static constexpr std::size_t kTextBuffers = 10;
    static constexpr std::size_t kTextCapacity = 80;  // characters including the terminating zero

    explicit HostInterface(HostCallbacks callbacks, DebugSink debug = writeDebugOutput,
                           StampSource stamps = localStamp);

    const HostCallbacks& callbacks() const { return callbacks_; }
    // Copies the text, cut to fit, into the next buffer. The view stays valid until nine more texts came.
    std::string_view rotate(std::string_view text);
    void debug(std::string_view text) const;
    LogStamp stamp() const { return stamps_(); }

private:
    HostCallbacks callbacks_;
    DebugSink debug_;
    StampSource stamps_;
    std::mutex mutex_;
    std::array<std::array<char, kTextCapacity>, kTextBuffers> texts_{};
    std::size_t next_ = 0;
};

}  // namespace vexa
