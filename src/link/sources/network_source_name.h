#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vexa {

inline constexpr std::string_view kTcpScheme = "tcp://";
inline constexpr std::string_view kGpsdScheme = "gpsd://";
inline constexpr std::uint16_t kGpsdDefaultPort = 2947;

struct NetworkEndpoint {
    std::string host;
    std::uint16_t port = 0;
    // "host:port", as status texts show it.
    std::string Text() const;
};

struct GpsdTarget {
    NetworkEndpoint endpoint;
    std::string device;  // the receiver's device on gpsd's machine; empty: whichever gpsd has
};

// "tcp://HOST:PORT"; none when the name is not one (no host, no port, a port out of range).
std::optional<NetworkEndpoint> ParseTcpSourceName(std::string_view name);
// "gpsd://HOST[:PORT][/DEVICE]": the port defaults to gpsd's, the device is the rest from its "/".
std::optional<GpsdTarget> ParseGpsdSourceName(std::string_view name);

}  // namespace vexa
