#include "platform/host_port.h"

#include <algorithm>
#include <charconv>

namespace vexa {

bool IsHostAndPort(std::string_view text) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos || colon == 0) return false;
    const std::string_view host = text.substr(0, colon);
    const std::string_view port = text.substr(colon + 1);
    if (!std::all_of(host.begin(), host.end(), [](char c) { return c > ' ' && c < 0x7f; })) return false;
    unsigned number = 0;
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), number);
    return error == std::errc() && end == port.data() + port.size() && number >= 1 && number <= 65535;
}

}  // namespace vexa
