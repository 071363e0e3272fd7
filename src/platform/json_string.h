#pragma once

#include <string>
#include <string_view>

namespace vexa {

// Appends `text` as a JSON string, quotes included: quote, backslash and control characters escaped.
void AppendJsonString(std::string& out, std::string_view text);

}  // namespace vexa
