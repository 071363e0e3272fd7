#pragma once

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// The numbers an option takes: `lowest` to `highest`, `lowest` itself left out when `aboveLowest`.
struct OptionRange {
    double lowest;
    double highest;
    bool aboveLowest = false;

    bool Holds(double value) const { return (aboveLowest ? value > lowest : value >= lowest) && value <= highest; }
};

// One option of a program's command line. Each program keeps one table of them, the one place where
// an option is written down: its help is made from the table, the unknown-option check reads it and
// the parser finds the option there and switches on its id, so the three cannot disagree.
template <class Id>
struct OptionRow {
    Id id;
    std::string_view name;   // "--baud"
    std::string_view value;  // the value as the help shows it ("N", "FILE"); empty: it takes none
    std::string_view help;   // its lines in the help, '\n' between them; empty: described elsewhere
    std::optional<OptionRange> range = std::nullopt;  // the numbers it takes, for a numeric value
    unsigned modes = ~0u;    // the program's modes it belongs to, for a program of several

    bool TakesValue() const { return !value.empty(); }
    bool In(unsigned mode) const { return (modes & mode) != 0; }
};

// The row of an option in the modes given; nothing when it has none there.
template <class Id>
const OptionRow<Id>* FindOption(std::span<const OptionRow<Id>> table, std::string_view name, unsigned modes = ~0u) {
    for (const OptionRow<Id>& row : table) {
        if (row.name == name && row.In(modes)) return &row;
    }
    return nullptr;
}

// Every name of the table, once each, for the unknown-option check and its suggestion.
template <class Id>
std::vector<std::string_view> OptionNames(std::span<const OptionRow<Id>> table) {
    std::vector<std::string_view> names;
    for (const OptionRow<Id>& row : table) {
        if (std::find(names.begin(), names.end(), row.name) == names.end()) names.push_back(row.name);
    }
    return names;
}

// How a help lists its options: two spaces, the name and its value, then the option's help from
// `column` on, its further lines indented as far. A name too long for that is followed by its help
// on the next line, or, with `sameLine`, three spaces after it.
struct HelpLayout {
    std::size_t column;
    bool sameLine = false;
};

// One option's entry in the help.
std::string OptionHelpEntry(std::string_view name, std::string_view value, std::string_view help, HelpLayout layout);

// The entries of the options of the modes given that have a help of their own, in the table's order.
template <class Id>
std::string OptionHelp(std::span<const OptionRow<Id>> table, HelpLayout layout, unsigned modes = ~0u) {
    std::string text;
    for (const OptionRow<Id>& row : table) {
        if (row.In(modes) && !row.help.empty()) text += OptionHelpEntry(row.name, row.value, row.help, layout);
    }
    return text;
}

}  // namespace vexa
