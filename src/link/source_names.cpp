#include "link/source_names.h"

#include <algorithm>

namespace vexa {

namespace {

bool Printable(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c > ' ' && c != '\x7f'; });
}

}  // namespace

bool IsNetworkSourceName(std::string_view name) {
    for (std::string_view scheme : {kTcpScheme, kGpsdScheme}) {
        if (!name.starts_with(scheme)) continue;
        const std::string_view rest = name.substr(scheme.size());
        return !rest.empty() && rest.front() != ':' && rest.front() != '/' && Printable(rest);
    }
    return false;
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
