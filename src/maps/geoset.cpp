#include "maps/geoset.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>

namespace vexa {

namespace {

constexpr int kMaxTableNumber = 9999;
constexpr int kMaxLineWidth = 20;
constexpr double kMaxZoomMetres = 4.0e7;

struct KeyValue {
    std::string_view key;
    std::string_view value;
};

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// "key" = "value"; the value runs to the last quote of the line, so it may hold quotes itself.
std::optional<KeyValue> SplitLine(std::string_view line) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != '"') return std::nullopt;
    const std::size_t keyEnd = line.find('"', 1);
    if (keyEnd == std::string_view::npos) return std::nullopt;
    std::string_view rest = Trim(line.substr(keyEnd + 1));
    if (rest.empty() || rest.front() != '=') return std::nullopt;
    rest = Trim(rest.substr(1));
    if (rest.size() < 2 || rest.front() != '"' || rest.back() != '"') return std::nullopt;
    return KeyValue{line.substr(1, keyEnd - 1), rest.substr(1, rest.size() - 2)};
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
               return upper(x) == upper(y);
           });
}

template <typename Number>
std::optional<Number> ParseNumber(std::string_view text) {
    text = Trim(text);
    Number number{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return number;
}

std::optional<Rgb> ParseColor(std::string_view text) {
    text = Trim(text);
    if (text.size() != 7 || text.front() != '#') return std::nullopt;
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data() + 1, text.data() + 7, value, 16);
    if (error != std::errc() || end != text.data() + 7) return std::nullopt;
    return Rgb{static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
               static_cast<std::uint8_t>(value)};
}

std::optional<GeoPoint> ParseCenter(std::string_view text) {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    const auto x = ParseNumber<double>(text.substr(0, comma));
    const auto y = ParseNumber<double>(text.substr(comma + 1));
    if (!x || !y || !(std::abs(*x) <= 180.0) || !(std::abs(*y) <= 90.0)) return std::nullopt;
    return GeoPoint{*x, *y};
}

std::optional<double> ParseZoom(std::string_view text) {
    const auto zoom = ParseNumber<double>(text);
    if (!zoom || !(*zoom > 0.0) || !(*zoom <= kMaxZoomMetres)) return std::nullopt;
    return zoom;
}

// Geosets written on other systems separate folders with backslashes.
std::filesystem::path LayerPath(std::string_view value, const std::filesystem::path& folder) {
    std::string file(Trim(value));
    std::replace(file.begin(), file.end(), '\\', '/');
    const std::filesystem::path path(file);
    return path.is_absolute() ? path : folder / path;
}

// "\TABLE\n\FIELD" gives n and FIELD.
std::optional<std::pair<int, std::string_view>> TableKey(std::string_view key) {
    constexpr std::string_view kPrefix = "\\TABLE\\";
    if (key.size() <= kPrefix.size() || !EqualsNoCase(key.substr(0, kPrefix.size()), kPrefix)) return std::nullopt;
    key.remove_prefix(kPrefix.size());
    const std::size_t slash = key.find('\\');
    if (slash == std::string_view::npos) return std::nullopt;
    const std::string_view digits = key.substr(0, slash);
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const auto number = ParseNumber<int>(digits);
    if (!number || *number < 1 || *number > kMaxTableNumber) return std::nullopt;
    return std::pair{*number, key.substr(slash + 1)};
}

void ApplyTableKey(GeosetTable& table, std::string_view field, std::string_view value,
                   const std::filesystem::path& folder) {
    if (EqualsNoCase(field, "FILE")) {
        table.file = Trim(value).empty() ? std::filesystem::path() : LayerPath(value, folder);
    } else if (EqualsNoCase(field, "LINECOLOR")) {
        if (const auto color = ParseColor(value)) table.style.lineColor = color;
    } else if (EqualsNoCase(field, "FILLCOLOR")) {
        if (const auto color = ParseColor(value)) table.style.fillColor = color;
    } else if (EqualsNoCase(field, "POINTCOLOR")) {
        if (const auto color = ParseColor(value)) table.style.pointColor = color;
    } else if (EqualsNoCase(field, "LINEWIDTH")) {
        const auto width = ParseNumber<int>(value);
        if (width && *width >= 1 && *width <= kMaxLineWidth) table.style.lineWidth = width;
    }
}

}  // namespace

Geoset ParseGeoset(std::string_view text, const std::filesystem::path& folder) {
    Geoset geoset;
    std::map<int, GeosetTable> tables;
    while (!text.empty()) {
        const std::size_t lineEnd = std::min(text.find('\n'), text.size());
        const auto pair = SplitLine(text.substr(0, lineEnd));
        text.remove_prefix(std::min(lineEnd + 1, text.size()));
        if (!pair) continue;

        if (const auto tableKey = TableKey(pair->key)) {
            GeosetTable& table = tables[tableKey->first];
            table.number = tableKey->first;
            ApplyTableKey(table, tableKey->second, pair->value, folder);
        } else if (EqualsNoCase(pair->key, "\\GEOSET\\NAME")) {
            geoset.name = std::string(Trim(pair->value));
        } else if (EqualsNoCase(pair->key, "\\GEOSET\\CENTER")) {
            if (const auto center = ParseCenter(pair->value)) geoset.center = center;
        } else if (EqualsNoCase(pair->key, "\\GEOSET\\ZOOM")) {
            if (const auto zoom = ParseZoom(pair->value)) geoset.zoomMetres = zoom;
        }
    }
    for (auto& [number, table] : tables) {
        if (!table.file.empty()) geoset.tables.push_back(std::move(table));
    }
    return geoset;
}

}  // namespace vexa
