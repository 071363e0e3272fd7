#pragma once

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::test {

// The options a program's help lists under `heading` ("Options:"): the name of each entry
// "  --name VALUE  what it does", up to the first line that is neither an entry nor its continuation.
inline std::vector<std::string> OptionsListedUnder(std::string_view help, std::string_view heading) {
    std::istringstream lines{std::string(help)};
    std::vector<std::string> names;
    bool inSection = false;
    for (std::string line; std::getline(lines, line);) {
        if (line == heading) {
            inSection = true;
        } else if (inSection && line.starts_with("  --")) {
            names.push_back(line.substr(2, line.find(' ', 2) - 2));
        } else if (inSection && !line.starts_with("    ")) {
            break;
        }
    }
    return names;
}

}  // namespace vexa::test
