#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vexa {

inline constexpr std::string_view kTcpScheme = "tcp://";
inline constexpr std::string_view kGpsdScheme = "gpsd://";

// Whether a port name stands for a receiver reached over the network ("tcp://HOST:PORT",
// "gpsd://HOST[:PORT][/DEVICE]") rather than for a device: a known scheme, then a host.
bool IsNetworkSourceName(std::string_view name);

// The network sources worth remembering among `names` (from the settings file, which anyone may
// edit): network source names only, each once, in their order, at most `limit`.
std::vector<std::string> UsableNetworkSources(const std::vector<std::string>& names, std::size_t limit);

}  // namespace vexa
