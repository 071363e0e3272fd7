#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// Whether a port name stands for a receiver reached over the network ("tcp://HOST:PORT",
// "gpsd://HOST[:PORT][/DEVICE]", printable throughout) rather than for a device.
bool IsNetworkSourceName(std::string_view name);

// Why a port name cannot stand for the source its start promises ("tcp://", "gpsd://", "replay"),
// in one line as the source's Open says it ("Not a TCP source: tcp://x (tcp://HOST:PORT)"); empty
// for a usable name and for any other name (a device path, which only opening tells).
std::string SourceNameProblem(std::string_view name);

// The network sources worth remembering among `names` (from the settings file, which anyone may
// edit): network source names only, each once, in their order, at most `limit`.
std::vector<std::string> UsableNetworkSources(const std::vector<std::string>& names, std::size_t limit);

}  // namespace vexa
