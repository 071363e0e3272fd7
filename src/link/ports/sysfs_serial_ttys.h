#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vexa {

struct SerialTty {
    std::string name;          // as under /dev, e.g. ttyUSB0
    std::string friendlyName;  // raw text from the device, empty when it has none
};

// The serial ports the kernel has a driver for, read from <sysfsRoot>/class/tty: USB serial
// adapters, USB modems (ACM), Bluetooth RFCOMM ports and on-board UARTs that exist. USB
// devices come first, then the others, each kind in number order.
std::vector<SerialTty> ListSerialTtys(const std::filesystem::path& sysfsRoot);

}  // namespace vexa
