#include "link/sources/source_names.h"

#include <algorithm>

#include "link/sources/network_source_name.h"
#include "link/sources/replay_name.h"

namespace vexa {

namespace {

bool Printable(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c > ' ' && c != '\x7f'; });
}

}  // namespace

bool IsNetworkSourceName(std::string_view name) {
    return Printable(name) && (ParseTcpSourceName(name) || ParseGpsdSourceName(name));
}

std::string SourceNameProblem(std::string_view name) {
    const std::string text(name);
    if (name.starts_with(kTcpScheme) && !ParseTcpSourceName(name)) return "Not a TCP source: " + text + " (tcp://HOST:PORT)";
    if (name.starts_with(kGpsdScheme) && !ParseGpsdSourceName(name)) {
        return "Not a gpsd source: " + text + " (gpsd://HOST[:PORT][/DEVICE])";
    }
    std::string problem;
    if (IsReplayName(name) && !ParseReplayName(name, problem)) return problem;
    return {};
}

std::vector<std::string> UsableNetworkSources(const std::vector<std::string>& names, std::size_t limit) {
    std::vector<std::string> usable;
    for (const std::string& name : names) {
        if (usable.size() >= limit) break;
        if (!IsNetworkSourceName(name) || std::find(usable.begin(), usable.end(), name) != usable.end()) continue;
        usable.push_back(name);
    }
    return usable;
}

}  // namespace vexa
