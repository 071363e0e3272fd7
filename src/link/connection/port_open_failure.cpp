#include "link/connection/port_open_failure.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/open_files.h"
#include "platform/user_accounts.h"

namespace vexa {

namespace {

std::string PermissionAdvice(const std::string& devicePath) {
    const std::optional<std::string> group = GroupOwningFile(devicePath);
    if (!group) return "Ask your administrator for read and write access to it.";
    if (*group == "root") return "It belongs to the group root; ask your administrator for access to it.";
    return "It belongs to the group " + *group + ", which you are not in. To join it, run\n  sudo usermod -aG " +
           *group + " " + CurrentUserName() + "\nthen log out and in again.";
}

std::string HolderAdvice(const std::string& devicePath) {
    const std::vector<FileHolder> holders = ProcessesHoldingFile(devicePath);
    if (holders.empty()) return "Another program holds it; close that program, then connect again.";
    std::string names;
    for (const FileHolder& holder : holders) {
        if (!names.empty()) names += ", ";
        names += holder.name + " (process " + std::to_string(holder.pid) + ")";
    }
    return "Another program holds it: " + names + ". Stop that program, then connect again.";
}

// The port that failed may be listed (a path the user gave); it is not offered again.
std::string ExistingPortsAdvice(const std::string& devicePath, const PortDiscoveryOptions& options) {
    std::vector<SerialPortEntry> ports = DiscoverPorts(options);
    std::erase_if(ports, [&](const SerialPortEntry& port) { return port.devicePath == devicePath; });
    if (ports.empty()) return "No serial port was found; is the receiver plugged in?";
    std::string text = "The serial ports found:";
    for (const SerialPortEntry& port : ports) text += "\n  " + port.displayName;
    return text;
}

std::string Advice(const std::string& devicePath, int error, const PortDiscoveryOptions& ports) {
    switch (error) {
    case EACCES:
    case EPERM: return PermissionAdvice(devicePath);
    case EBUSY: return HolderAdvice(devicePath);
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTTY:
    case EISDIR: return ExistingPortsAdvice(devicePath, ports);
    default: return {};
    }
}

}  // namespace

std::string PortOpenFailureText(const std::string& devicePath, int error, const PortDiscoveryOptions& ports) {
    std::string text = std::string(kCouldNotOpenText) + "\n" + devicePath;
    if (error == 0) return text;
    // A file that is no terminal refuses the terminal settings with an error that names an ioctl.
    text += ": " + std::string(error == ENOTTY ? "not a serial device" : std::strerror(error)) + ".";
    const std::string advice = Advice(devicePath, error, ports);
    if (!advice.empty()) text += "\n" + advice;
    return text;
}

std::string ConnectFailureText(const LinkConnection& link, const std::string& portName,
                               const PortDiscoveryOptions& ports) {
    // Only a serial device has the system's reasons and the ports that exist to offer.
    if (link.BaudChangeable()) return PortOpenFailureText(portName, link.ConnectError(), ports);
    return std::string(kCouldNotOpenText) + "\n" + link.ConnectProblem();
}

}  // namespace vexa
