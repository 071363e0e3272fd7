#include "link/sources/network_source_name.h"

#include <charconv>

namespace vexa {

namespace {

bool IsHostCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_';
}

// "HOST:PORT" or, when a default port is given, "HOST" alone.
std::optional<NetworkEndpoint> ParseAuthority(std::string_view authority, std::optional<std::uint16_t> defaultPort) {
    const std::size_t colon = authority.rfind(':');
    const std::string_view host = authority.substr(0, colon);
    if (host.empty()) return std::nullopt;
    for (char c : host) {
        if (!IsHostCharacter(c)) return std::nullopt;
    }
    if (colon == std::string_view::npos) {
        if (!defaultPort) return std::nullopt;
        return NetworkEndpoint{std::string(host), *defaultPort};
    }
    const std::string_view digits = authority.substr(colon + 1);
    unsigned value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || value == 0 ||
        value > 65535) {
        return std::nullopt;
    }
    return NetworkEndpoint{std::string(host), static_cast<std::uint16_t>(value)};
}

}  // namespace

std::string NetworkEndpoint::Text() const { return host + ':' + std::to_string(port); }

std::optional<NetworkEndpoint> ParseTcpSourceName(std::string_view name) {
    if (!name.starts_with(kTcpScheme)) return std::nullopt;
    return ParseAuthority(name.substr(kTcpScheme.size()), std::nullopt);
}

std::optional<GpsdTarget> ParseGpsdSourceName(std::string_view name) {
    if (!name.starts_with(kGpsdScheme)) return std::nullopt;
    const std::string_view rest = name.substr(kGpsdScheme.size());
    const std::size_t slash = rest.find('/');
    std::optional<NetworkEndpoint> endpoint = ParseAuthority(rest.substr(0, slash), kGpsdDefaultPort);
    if (!endpoint) return std::nullopt;
    const std::string_view device = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
    if (device == "/") return std::nullopt;
    return GpsdTarget{std::move(*endpoint), std::string(device)};
}

}  // namespace vexa
