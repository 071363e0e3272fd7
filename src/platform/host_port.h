#pragma once

#include <string_view>

namespace vexa {

// Whether a text is HOST:PORT as a listening address is given: a host (a name, a dotted address or
// a bracketed IPv6 address) of printable characters without spaces, a colon, and a port from 1 to
// 65535 in decimal digits. Whether the host is this machine's only listening tells.
bool IsHostAndPort(std::string_view text);

}  // namespace vexa
