#pragma once

#include <span>
#include <optional>
#include <string>
#include <string_view>

namespace vexa {

bool IsKnownOption(std::string_view given, std::span<const std::string_view> known);

// The known option closest to a mistyped one: one it abbreviates, or else the nearest by
// edits (a letter added, dropped, changed or two swapped) when few enough edits separate them.
std::optional<std::string_view> ClosestOption(std::string_view given, std::span<const std::string_view> known);

// "unknown option '--bogus'", followed by "; did you mean '--baud'?" when one is close.
std::string UnknownOptionText(std::string_view given, std::span<const std::string_view> known);

}  // namespace vexa
