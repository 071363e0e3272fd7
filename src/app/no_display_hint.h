#pragma once

#include <span>
#include <string>
#include <string_view>

namespace vexa {

// What the program tells a user who started it without a display: two commands that work as
// printed from any shell, the same program and arguments on a virtual display, and a run without
// any display that saves screenshots. They start in `folder`, where relative paths among the
// arguments were meant.
std::string NoDisplayHint(std::string_view program, std::string_view folder,
                          std::span<const std::string_view> arguments);

}  // namespace vexa
