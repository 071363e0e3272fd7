#pragma once

#include <optional>
#include <string>

namespace vexa {

// The name of the group that owns a file; nothing when the file or its group cannot be found.
std::optional<std::string> GroupOwningFile(const std::string& path);

// The login name of the user running the program, for commands the user is told to type.
std::string CurrentUserName();

}  // namespace vexa
