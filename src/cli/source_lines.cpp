#include "cli/source_lines.h"

namespace vexa {

void SourceLines::Write(std::string_view line) {
    if (prefix_.empty()) {
        lines_.Write(writer_, line);
        return;
    }
    // A rendered message may span lines; each is the source's.
    std::string prefixed = prefix_;
    for (const char c : line) {
        prefixed += c;
        if (c == '\n') prefixed += prefix_;
    }
    lines_.Write(writer_, prefixed);
}

}  // namespace vexa
