#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/result_codes.h"

namespace vexa {

// What the connection controller needs of the receiver link: GpsComm implements it,
// tests may give their own.
class LinkConnection {
public:
    virtual ~LinkConnection() = default;
    // Opens the source a port name stands for (a serial device path, a network source, ...) at the
    // given baud rate where a rate applies; kResultOk or kResultCommFailure.
    virtual LinkResult Connect(const std::string& portName, int baud) = 0;
    // Why the last Connect failed, as a system error number; 0 when it is not known.
    virtual int ConnectError() const { return 0; }
    // Why the last Connect failed, in one line for the user; empty when not known.
    virtual std::string ConnectProblem() const { return {}; }
    // Whether the source last connected has a line speed of the program's choosing; when not,
    // only the protocol is detected.
    virtual bool BaudChangeable() const { return true; }
    // Why the source last connected ended, in one line for the user; empty while it has not or
    // when nothing more than the end is known.
    virtual std::string EndReason() const { return {}; }
    // Closes the source and blanks the receiver records.
    virtual LinkResult Disconnect() = 0;
    // Every byte received since the link was made, for telling a silent source; nothing when the
    // link does not count them.
    virtual std::optional<std::uint64_t> BytesReceived() const { return std::nullopt; }
    // A replayed capture paused by the user: silent on purpose, not a receiver gone quiet.
    virtual bool Paused() const { return false; }
};

}  // namespace vexa
