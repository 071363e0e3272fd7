#include "cli/receiver_request.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <utility>
#include <vector>

namespace vexa {
namespace {

constexpr std::array<std::pair<std::string_view, RequestKind>, 9> kPlainRequests{{
    {"hot-start", RequestKind::HotStart},
    {"warm-start", RequestKind::WarmStart},
    {"cold-start", RequestKind::ColdStart},
    {"factory-reset", RequestKind::FactoryReset},
    {"debug-output", RequestKind::DebugOutput},
    {"navlib-output", RequestKind::NavLibOutput},
    {"poll-version", RequestKind::PollVersion},
    {"poll-clock", RequestKind::PollClock},
    {"switch-protocol", RequestKind::SwitchProtocol},
}};

template <class Number>
std::optional<Number> NumberIn(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::vector<std::string_view> SplitAtCommas(std::string_view text) {
    std::vector<std::string_view> parts;
    for (std::size_t comma; (comma = text.find(',')) != std::string_view::npos; text.remove_prefix(comma + 1)) {
        parts.push_back(text.substr(0, comma));
    }
    parts.push_back(text);
    return parts;
}

std::optional<PowerSettings> ParsePower(std::string_view value) {
    const std::vector<std::string_view> parts = SplitAtCommas(value);
    PowerSettings power;
    if (parts.size() == 1 && parts[0] == "always") return power;
    if (parts.size() == 3 && parts[0] == "timed") {
        const std::optional<int> onTime = NumberIn<int>(parts[1]);
        const std::optional<int> rate = NumberIn<int>(parts[2]);
        if (!onTime || *onTime < kMinOnTimeMs || *onTime > kMaxOnTimeMs || *onTime % kOnTimeStepMs != 0) {
            return std::nullopt;
        }
        if (!rate || *rate < kMinUpdateRateSeconds || *rate > kMaxUpdateRateSeconds) return std::nullopt;
        power.mode = PowerMode::TimedPower;
        power.onTimeMs = *onTime;
        power.updateRateSeconds = *rate;
        return power;
    }
    if (parts.size() == 2 && parts[0] == "fod") {
        const std::optional<std::int32_t> period = NumberIn<std::int32_t>(parts[1]);
        if (!period || *period < 1) return std::nullopt;
        power.mode = PowerMode::FixOnDemand;
        power.fixOnDemandPeriodSeconds = static_cast<std::uint32_t>(*period);
        return power;
    }
    return std::nullopt;
}

}  // namespace

std::optional<ReceiverRequest> ParseReceiverRequest(std::string_view text) {
    ReceiverRequest request;
    request.text = text;
    for (const auto& [name, kind] : kPlainRequests) {
        if (text == name) {
            request.kind = kind;
            return request;
        }
    }
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string_view name = text.substr(0, equals);
    const std::string_view value = text.substr(equals + 1);
    if (name == "elevation-mask") {
        const std::optional<double> degrees = NumberIn<double>(value);
        if (!degrees || !(*degrees >= kMinElevationMask && *degrees <= kMaxElevationMask)) return std::nullopt;
        request.kind = RequestKind::ElevationMask;
        request.navigationMaskDegrees = *degrees;
        return request;
    }
    if (name == "power") {
        const std::optional<PowerSettings> power = ParsePower(value);
        if (!power) return std::nullopt;
        request.kind = RequestKind::Power;
        request.power = *power;
        return request;
    }
    return std::nullopt;
}

}  // namespace vexa
