#include "sim/command_sentence.h"

#include <array>
#include <charconv>

#include "receiver/nmea/nmea_checksum.h"

namespace vexa::sim {
namespace {

constexpr std::string_view kPrefix = "$PVXA100,";
constexpr int kFieldCount = 5;
constexpr int kLargestField = 1000000;

std::optional<int> HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return std::nullopt;
}

std::optional<int> Field(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    const bool whole = !text.empty() && error == std::errc() && end == text.data() + text.size();
    if (!whole || value < 0 || value > kLargestField) return std::nullopt;
    return value;
}

}  // namespace

std::optional<ProtocolSwitchRequest> ParseProtocolSwitchSentence(std::string_view sentence) {
    if (sentence.ends_with("\r\n")) sentence.remove_suffix(2);
    const std::size_t star = sentence.rfind('*');
    if (!sentence.starts_with(kPrefix) || star == std::string_view::npos || sentence.size() != star + 3) {
        return std::nullopt;
    }
    const auto high = HexDigit(sentence[star + 1]);
    const auto low = HexDigit(sentence[star + 2]);
    const std::string_view body = sentence.substr(0, star);
    if (!high || !low || NmeaChecksum(body) != *high * 16 + *low) return std::nullopt;

    std::array<int, kFieldCount> fields{};
    std::string_view rest = body.substr(kPrefix.size());
    for (int index = 0; index < kFieldCount; ++index) {
        const std::size_t comma = rest.find(',');
        const bool last = index == kFieldCount - 1;
        if (last != (comma == std::string_view::npos)) return std::nullopt;
        const auto value = Field(rest.substr(0, comma));
        if (!value) return std::nullopt;
        fields[index] = *value;
        if (!last) rest.remove_prefix(comma + 1);
    }
    return ProtocolSwitchRequest{fields[0], fields[1], fields[2], fields[3], fields[4]};
}

}  // namespace vexa::sim
