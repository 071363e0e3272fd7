#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// Whether a port name stands for a receiver reached over the network ("tcp://HOST:PORT",
// "gpsd://HOST[:PORT][/DEVICE]", printable throughout) rather than for a device.
bool IsNetworkSourceName(std::string_view name);

// The network sources worth remembering among `names` (from the settings file, which anyone may
// edit): network source names only, each once, in their order, at most `limit`.
std::vector<std::string> UsableNetworkSources(const std::vector<std::string>& names, std::size_t limit);

}  // namespace vexa
