#include "link/ports/port_discovery.h"

#include <algorithm>
#include <system_error>

#include "link/ports/port_display_name.h"
#include "link/sources/source_names.h"
#include "link/ports/sysfs_serial_ttys.h"

namespace vexa {

namespace fs = std::filesystem;

namespace {

struct FoundPort {
    std::string devicePath;
    std::string friendlyName;
    fs::path device;  // resolved, to recognise one port under two names
};

fs::path ResolvedDevice(const fs::path& path) {
    std::error_code error;
    fs::path resolved = fs::weakly_canonical(path, error);
    return error ? path : resolved;
}

std::vector<FoundPort> FoundInSysfs(const PortDiscoveryOptions& options) {
    std::vector<FoundPort> found;
    for (SerialTty& tty : ListSerialTtys(options.sysfsRoot)) {
        fs::path node = options.devRoot / tty.name;
        std::error_code error;
        if (!fs::exists(node, error)) continue;
        found.push_back({node.string(), std::move(tty.friendlyName), ResolvedDevice(node)});
    }
    return found;
}

class PortList {
public:
    bool Holds(const fs::path& device) const {
        return std::find(devices_.begin(), devices_.end(), device) != devices_.end();
    }
    void Add(SerialPortEntry entry, fs::path device) {
        ports_.push_back(std::move(entry));
        devices_.push_back(std::move(device));
    }
    std::vector<SerialPortEntry> Take() { return std::move(ports_); }

private:
    std::vector<SerialPortEntry> ports_;
    std::vector<fs::path> devices_;
};

}  // namespace

std::vector<SerialPortEntry> DiscoverPorts(const PortDiscoveryOptions& options) {
    PortList list;
    if (options.simulatedReceiver) {
        list.Add(*options.simulatedReceiver, ResolvedDevice(options.simulatedReceiver->devicePath));
    }
    std::vector<FoundPort> found = FoundInSysfs(options);
    for (const std::string& path : options.extraPaths) {
        if (path.empty()) continue;
        // A network source is no file: it is known by its name alone.
        const fs::path device = IsNetworkSourceName(path) ? fs::path(path) : ResolvedDevice(path);
        if (list.Holds(device)) continue;
        // A path the user gave for a port that sysfs also knows keeps the user's spelling and
        // takes the port's friendly name.
        const auto same =
            std::find_if(found.begin(), found.end(), [&](const FoundPort& port) { return port.device == device; });
        const std::string friendlyName = same == found.end() ? std::string() : same->friendlyName;
        list.Add({path, PortDisplayName(path, friendlyName)}, device);
    }
    for (const std::string& name : options.networkSources) {
        if (list.Holds(name)) continue;
        list.Add({name, PortDisplayName(name, "")}, name);
    }
    // The limit is the discovered ports' alone, so the user's own entries never push them out.
    std::size_t discovered = 0;
    for (const FoundPort& port : found) {
        if (discovered == kMaxListedPorts) break;
        if (list.Holds(port.device)) continue;
        list.Add({port.devicePath, PortDisplayName(port.devicePath, port.friendlyName)}, port.device);
        ++discovered;
    }
    return list.Take();
}

const SerialPortEntry* FindPortByDisplayName(std::span<const SerialPortEntry> ports, std::string_view displayName) {
    const auto it = std::find_if(ports.begin(), ports.end(),
                                 [&](const SerialPortEntry& port) { return port.displayName == displayName; });
    return it == ports.end() ? nullptr : &*it;
}

const SerialPortEntry* FindPortByDevicePath(std::span<const SerialPortEntry> ports, std::string_view devicePath) {
    const auto it = std::find_if(ports.begin(), ports.end(),
                                 [&](const SerialPortEntry& port) { return port.devicePath == devicePath; });
    return it == ports.end() ? nullptr : &*it;
}

}  // namespace vexa
