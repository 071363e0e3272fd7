#include "views/ttff_report.h"

#include <cctype>
#include <charconv>
#include <system_error>

namespace vexa {

namespace {

constexpr std::size_t kMaxWordLength = 15;
constexpr int kTtffWord = 7;

bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

std::optional<std::string> SeventhWord(std::string_view text) {
    std::size_t position = 0;
    for (int word = 1; word <= kTtffWord; ++word) {
        while (position < text.size() && IsBlank(text[position])) ++position;
        const std::size_t start = position;
        while (position < text.size() && !IsBlank(text[position])) ++position;
        if (position == start) return std::nullopt;
        if (word == kTtffWord) return std::string(text.substr(start, std::min(position - start, kMaxWordLength)));
    }
    return std::nullopt;
}

}  // namespace

std::optional<double> ReportedTtffSeconds(std::string_view word) {
    double seconds = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), seconds);
    if (error != std::errc() || end != word.data() + word.size()) return std::nullopt;
    return seconds;
}

std::optional<std::string> TtffFromReportLine(std::string_view line) {
    struct Heading {
        std::string_view text;
        std::size_t wordsFrom;
    };
    static constexpr Heading kHeadings[] = {{"EXEC: SpecCheck", 24}, {"SpecCheck", 18}};
    for (const Heading& heading : kHeadings) {
        if (!line.starts_with(heading.text)) continue;
        if (line.size() < heading.wordsFrom) return std::nullopt;
        return SeventhWord(line.substr(heading.wordsFrom));
    }
    return std::nullopt;
}

}  // namespace vexa
