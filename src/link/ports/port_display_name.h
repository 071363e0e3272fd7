#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vexa {

// Friendly names longer than this are cut (characters, not bytes).
inline constexpr std::size_t kMaxFriendlyNameLength = 98;

// Makes a text read from the system safe to show: invalid UTF-8 becomes '?', control
// characters become blanks, surrounding blanks are dropped, and the text is cut after
// maxLength characters.
std::string CleanDeviceText(std::string_view raw, std::size_t maxLength);

// The name a port is listed under: a friendly name that already contains the port's name
// stands alone, otherwise the port's name, a blank and the friendly name; without a friendly
// name, the port's name alone. The port's name is its device path.
std::string PortDisplayName(std::string_view devicePath, std::string_view friendlyName);

}  // namespace vexa
