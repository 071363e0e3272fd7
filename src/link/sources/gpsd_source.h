#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/sources/gpsd_reply_filter.h"
#include "link/sources/gpsd_watch.h"
#include "link/sources/network_byte_source.h"

namespace vexa {

inline constexpr std::string_view kGpsdRefusesCommands =
    "gpsd owns the receiver; commands are not sent through gpsd";

// A receiver that a running gpsd owns ("gpsd://HOST[:PORT][/DEVICE]"): the source asks gpsd to watch
// in raw mode and passes on the receiver's bytes unchanged, with gpsd's own reply lines taken out.
// gpsd sets the line speed and keeps the receiver, so no command is written. A gpsd that refuses
// the watch or has no such receiver ends the source, and EndReason() then says why.
class GpsdSource final : public NetworkByteSource {
public:
    using NetworkByteSource::NetworkByteSource;

    LinkResult Open(int baud) override;
    ReadOutcome Read(std::uint8_t* buffer, std::size_t capacity, std::size_t& count) override;
    WakeEvent::Wait WaitReadable(const WakeEvent& wake, std::chrono::milliseconds timeout) override;
    // Fails every write: gpsd keeps the receiver.
    LinkResult Write(const std::uint8_t* bytes, std::size_t length) override;
    LinkResult Close() override;

    bool TakesCommands() const override { return false; }
    std::string CommandsRefusedReason() const override { return std::string(kGpsdRefusesCommands); }

private:
    // Hands out what the filter passed on; false when nothing is waiting.
    bool Serve(std::uint8_t* buffer, std::size_t capacity, std::size_t& count);

    GpsdReplyFilter filter_;
    std::optional<GpsdWatch> watch_;
    std::vector<std::uint8_t> received_;
    std::vector<std::uint8_t> passed_;
    std::size_t served_ = 0;  // of passed_
};

}  // namespace vexa
