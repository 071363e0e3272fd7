#pragma once

#include <string>
#include <string_view>

namespace vexa {

// Text made safe inside HTML or SVG content and attribute values: & < > " ' escaped, and bytes
// XML does not allow (control characters but tab and line breaks) left out.
std::string EscapedMarkup(std::string_view text);

}  // namespace vexa
