#pragma once

#include <string>
#include <string_view>

#include "link/connection/link_connection.h"
#include "link/ports/port_discovery.h"

namespace vexa {

inline constexpr std::string_view kCouldNotOpenText = "Could not open specified port. ";

// What the user is told when the receiver's port cannot be opened: kCouldNotOpenText, then the
// device with the system's reason (`error`, 0 when unknown) and, for the usual causes, what to do:
// the group to join, the program that holds the device, or the serial ports that do exist.
std::string PortOpenFailureText(const std::string& devicePath, int error, const PortDiscoveryOptions& ports);

// The same for whatever source `portName` stands for, after `link` failed to connect to it: a serial
// device as above; another source (a network stream) with the reason it gave.
std::string ConnectFailureText(const LinkConnection& link, const std::string& portName,
                               const PortDiscoveryOptions& ports);

}  // namespace vexa
