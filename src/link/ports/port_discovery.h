#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

inline constexpr std::size_t kMaxListedPorts = 10;
inline constexpr std::string_view kSimulatedReceiverName = "Simulated receiver";

struct SerialPortEntry {
    std::string devicePath;   // what the link opens and the settings store
    std::string displayName;  // what the port list shows
    friend bool operator==(const SerialPortEntry&, const SerialPortEntry&) = default;
};

struct PortDiscoveryOptions {
    std::filesystem::path sysfsRoot{"/sys"};
    std::filesystem::path devRoot{"/dev"};
    // Listed first, with its display name as given (the built-in simulated receiver).
    std::optional<SerialPortEntry> simulatedReceiver;
    // Device paths or other port names the user named (the command line), listed after the
    // simulated receiver.
    std::vector<std::string> extraPaths;
    // The network sources the user added in the Serial Comm dialog (remembered in the settings),
    // listed after the user's paths under their own names.
    std::vector<std::string> networkSources;
};

// The port list: the simulated receiver, the user's paths, the network sources, then at most
// kMaxListedPorts of the serial ports found in sysfs whose device node exists; each port once.
std::vector<SerialPortEntry> DiscoverPorts(const PortDiscoveryOptions& options);

// The entry shown under a display name, or the entry of a device path; null when none is.
const SerialPortEntry* FindPortByDisplayName(std::span<const SerialPortEntry> ports, std::string_view displayName);
const SerialPortEntry* FindPortByDevicePath(std::span<const SerialPortEntry> ports, std::string_view devicePath);

}  // namespace vexa
