#include "link/source_names.h"

#include <algorithm>

#include "link/network_source_name.h"

namespace vexa {

namespace {

bool Printable(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c > ' ' && c != '\x7f'; });
}

}  // namespace

bool IsNetworkSourceName(std::string_view name) {
    return Printable(name) && (ParseTcpSourceName(name) || ParseGpsdSourceName(name));
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
