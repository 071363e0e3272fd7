#include "receiver/nmea/nmea_fields.h"

#include <charconv>
#include <cmath>

namespace vexa {

NmeaFields::NmeaFields(std::string_view body) : body_(body) {
    starts_[0] = 0;
    for (std::size_t at = 0; at < body.size() && count_ < kCapacity - 1; ++at) {
        if (body[at] == ',') starts_[++count_] = at + 1;
    }
    // The last field ends where the body does, as if a comma followed it.
    starts_[++count_] = body.size() + 1;
}

std::optional<double> NmeaFields::number(std::size_t index) const {
    std::string_view field = text(index);
    if (field.empty()) return std::nullopt;
    // from_chars takes no leading plus sign, which some receivers write.
    if (field.front() == '+' && field.size() > 1 && field[1] != '-') field.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value, std::chars_format::fixed);
    if (error != std::errc{} || end != field.data() + field.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<int> NmeaFields::integer(std::size_t index) const {
    std::string_view field = text(index);
    if (field.empty()) return std::nullopt;
    if (field.front() == '+' && field.size() > 1 && field[1] != '-') field.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc{} || end != field.data() + field.size()) return std::nullopt;
    return value;
}

std::optional<char> NmeaFields::letter(std::size_t index) const {
    const std::string_view field = text(index);
    if (field.size() != 1) return std::nullopt;
    return field.front();
}

}  // namespace vexa
