#pragma once

#include <string>

#include "link/sources/serial_port.h"

namespace vexa::test {

// A receiver reached through a source that only listens, as one shared through gpsd is.
class ListeningOnlyPort : public SerialPort {
public:
    static constexpr const char* kReason = "The receiver is shared read-only.";
    using SerialPort::SerialPort;
    bool TakesCommands() const override { return false; }
    std::string CommandsRefusedReason() const override { return kReason; }
};

}  // namespace vexa::test
