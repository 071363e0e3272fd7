#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vexa {

// The baud setting 0 asks for automatic detection.
inline constexpr int kAutoBaud = 0;
// The rates automatic detection tries, in this order: the high rates last, so that finding a receiver
// at a common rate takes no longer than it did before they were offered.
inline constexpr std::array<int, 9> kAutoBaudRates{57600, 38400, 4800, 19200, 9600, 115200, 230400, 460800, 921600};

// What the baud rate combo box and its label show for a product.
enum class BaudComboVisibility { kShown, kHidden, kUnchanged };
struct BaudComboContent {
    BaudComboVisibility visibility;
    std::span<const std::string_view> entries;
};
BaudComboContent BaudComboForProduct(int product);

// The combo box text of a baud setting: "Auto" for 0, otherwise the rate.
std::string BaudSettingText(int baudSetting);

// The baud setting a combo box text stands for; nothing for an empty text or a rate the
// receiver cannot be set to.
std::optional<int> ParseBaudSelection(std::string_view text);

}  // namespace vexa
