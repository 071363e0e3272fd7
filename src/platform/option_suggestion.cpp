#include "platform/option_suggestion.h"

#include <algorithm>
#include <vector>

namespace vexa {

namespace {

std::string_view WithoutDashes(std::string_view option) {
    return option.substr(std::min(option.find_first_not_of('-'), option.size()));
}

// Edits from one text to the other, a swap of neighbours counting as one.
std::size_t EditDistance(std::string_view from, std::string_view to) {
    const std::size_t columns = to.size() + 1;
    std::vector<std::size_t> table((from.size() + 1) * columns);
    const auto at = [&](std::size_t row, std::size_t column) -> std::size_t& { return table[row * columns + column]; };
    for (std::size_t row = 0; row <= from.size(); ++row) at(row, 0) = row;
    for (std::size_t column = 0; column <= to.size(); ++column) at(0, column) = column;
    for (std::size_t row = 1; row <= from.size(); ++row) {
        for (std::size_t column = 1; column <= to.size(); ++column) {
            const std::size_t change = from[row - 1] == to[column - 1] ? 0 : 1;
            std::size_t best = std::min({at(row - 1, column) + 1, at(row, column - 1) + 1, at(row - 1, column - 1) + change});
            if (row > 1 && column > 1 && from[row - 1] == to[column - 2] && from[row - 2] == to[column - 1]) {
                best = std::min(best, at(row - 2, column - 2) + 1);
            }
            at(row, column) = best;
        }
    }
    return at(from.size(), to.size());
}

// More edits than a third of the name make a different word rather than a slip of the keys.
std::size_t EditsAllowed(std::string_view name) { return std::max<std::size_t>(1, name.size() / 3); }

}  // namespace

bool IsKnownOption(std::string_view given, std::span<const std::string_view> known) {
    return std::find(known.begin(), known.end(), given) != known.end();
}

std::optional<std::string_view> ClosestOption(std::string_view given, std::span<const std::string_view> known) {
    const std::string_view typed = WithoutDashes(given);
    if (typed.empty()) return std::nullopt;
    std::optional<std::string_view> abbreviated;
    int abbreviations = 0;
    for (std::string_view option : known) {
        if (typed.size() >= 2 && WithoutDashes(option).starts_with(typed)) {
            abbreviated = option;
            ++abbreviations;
        }
    }
    if (abbreviations == 1) return abbreviated;

    std::optional<std::string_view> closest;
    std::size_t fewestEdits = EditsAllowed(typed) + 1;
    for (std::string_view option : known) {
        const std::size_t edits = EditDistance(typed, WithoutDashes(option));
        if (edits < fewestEdits) {
            fewestEdits = edits;
            closest = option;
        }
    }
    return closest;
}

std::string UnknownOptionText(std::string_view given, std::span<const std::string_view> known) {
    std::string text = "unknown option '" + std::string(given) + "'";
    if (const auto closest = ClosestOption(given, known)) text += "; did you mean '" + std::string(*closest) + "'?";
    return text;
}

}  // namespace vexa
