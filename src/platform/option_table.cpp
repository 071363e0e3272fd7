#include "platform/option_table.h"

namespace vexa {

namespace {

constexpr std::size_t kNameIndent = 2;
constexpr std::size_t kSameLineGap = 3;

}  // namespace

std::string OptionHelpEntry(std::string_view name, std::string_view value, std::string_view help, HelpLayout layout) {
    std::string entry(kNameIndent, ' ');
    entry += name;
    if (!value.empty()) {
        entry += ' ';
        entry += value;
    }
    if (entry.size() + kSameLineGap <= layout.column) {
        entry.resize(layout.column, ' ');
    } else if (layout.sameLine) {
        entry.append(kSameLineGap, ' ');
    } else {
        entry += '\n';
        entry.append(layout.column, ' ');
    }
    for (std::size_t start = 0;;) {
        const std::size_t end = help.find('\n', start);
        entry += help.substr(start, end - start);
        entry += '\n';
        if (end == std::string_view::npos) break;
        entry.append(layout.column, ' ');
        start = end + 1;
    }
    return entry;
}

}  // namespace vexa
