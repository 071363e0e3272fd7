// The network sources read back from the settings file may hold any bytes anyone wrote there:
// what is kept must be network source names only, each once, no more than asked for.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "link/sources/source_names.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

// The first byte is the limit; the rest are the stored names, one a line.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t limit = data[0] % 16;
    std::vector<std::string> stored;
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        stored.emplace_back(rest.substr(0, end));
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }

    const std::vector<std::string> kept = vexa::UsableNetworkSources(stored, limit);
    Require(kept.size() <= limit);
    for (std::size_t i = 0; i < kept.size(); ++i) {
        Require(vexa::IsNetworkSourceName(kept[i]));
        Require(std::find(stored.begin(), stored.end(), kept[i]) != stored.end());
        Require(std::find(kept.begin() + static_cast<std::ptrdiff_t>(i) + 1, kept.end(), kept[i]) == kept.end());
        Require(kept[i].find_first_of(" \t\r\n") == std::string::npos);
    }
    return 0;
}
