#include "evaluation/reference_point.h"

#include <array>
#include <charconv>
#include <cmath>
#include <system_error>

namespace vexa {

namespace {

struct Bounds {
    std::string_view name;
    double lowest;
    double highest;
    std::string_view unit;
};

constexpr std::array<Bounds, 3> kBounds = {{
    {"latitude", -90.0, 90.0, "degrees"},
    {"longitude", -180.0, 180.0, "degrees"},
    {"height", kLowestReferenceHeight, kHighestReferenceHeight, "metres above the ellipsoid"},
}};

// Texts quoted back are cut short and their control bytes shown as '?', so a message stays one readable line.
constexpr std::size_t kLongestQuote = 60;

std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text.substr(0, kLongestQuote)) quoted += static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? '?' : c;
    if (text.size() > kLongestQuote) quoted += "...";
    return quoted + "\"";
}

// The shortest text that reads back as `value`, without an exponent ("100000", not "1e+05").
std::string NumberText(double value) {
    std::array<char, 400> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
    return std::string(buffer.data(), result.ptr);
}

std::string WhyNotWithin(const Bounds& bounds, double value, const std::string& shown) {
    if (!std::isfinite(value)) return "the " + std::string(bounds.name) + " " + shown + " is not a finite number";
    if (value < bounds.lowest || value > bounds.highest) {
        return "the " + std::string(bounds.name) + " " + shown + " is outside " + NumberText(bounds.lowest) + " to " +
               NumberText(bounds.highest) + " " + std::string(bounds.unit);
    }
    return {};
}

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::optional<double> WholeNumber(std::string_view text) {
    // from_chars takes no plus sign; one before the digits is accepted as people type it.
    if (text.size() > 1 && text.front() == '+' && text[1] != '-' && text[1] != '+') text.remove_prefix(1);
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

std::string_view ReferenceSourceName(ReferenceSource source) {
    switch (source) {
    case ReferenceSource::Entered: return "entered";
    case ReferenceSource::SurveyIn: return "survey";
    case ReferenceSource::Mean: return "mean";
    }
    return "entered";
}

std::string WhyNotAReference(const GeodeticPoint& point) {
    const std::array values = {point.latitude, point.longitude, point.height};
    for (std::size_t i = 0; i < kBounds.size(); ++i) {
        std::string why = WhyNotWithin(kBounds[i], values[i], NumberText(values[i]));
        if (!why.empty()) return why;
    }
    return {};
}

ParsedReference ParseReferencePoint(std::string_view text) {
    const std::string prefix = "reference point " + Quoted(text) + ": ";
    std::array<std::string_view, 3> fields;
    std::string_view rest = text;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const auto comma = rest.find(',');
        const bool last = i + 1 == fields.size();
        if (last != (comma == std::string_view::npos)) {
            return {std::nullopt, prefix + "expected LAT,LON,H (degrees, degrees, metres above the WGS-84 ellipsoid)"};
        }
        fields[i] = Trimmed(rest.substr(0, comma));
        if (!last) rest.remove_prefix(comma + 1);
    }
    std::array<double, 3> values{};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::optional<double> value = WholeNumber(fields[i]);
        if (!value) return {std::nullopt, prefix + "the " + std::string(kBounds[i].name) + " " + Quoted(fields[i]) + " is not a number"};
        std::string why = WhyNotWithin(kBounds[i], *value, std::string(fields[i]));
        if (!why.empty()) return {std::nullopt, prefix + why};
        values[i] = *value;
    }
    return {GeodeticPoint{values[0], values[1], values[2]}, {}};
}

}  // namespace vexa
