#include "link/connection/baud_settings.h"

#include <algorithm>
#include <charconv>

#include "receiver/product/product_table.h"

namespace vexa {

namespace {

constexpr std::string_view kAutoText = "Auto";
constexpr std::array<std::string_view, 10> kBaudComboEntries{
    kAutoText, "4800", "9600", "19200", "38400", "57600", "115200", "230400", "460800", "921600"};

}  // namespace

BaudComboContent BaudComboForProduct(int product) {
    const ProductTraits* traits = SupportedProduct(product);
    if (traits == nullptr) return {BaudComboVisibility::kUnchanged, {}};
    if (traits->fixedBaud) return {BaudComboVisibility::kHidden, {}};
    return {BaudComboVisibility::kShown, kBaudComboEntries};
}

std::string BaudSettingText(int baudSetting) {
    return baudSetting == kAutoBaud ? std::string(kAutoText) : std::to_string(baudSetting);
}

std::optional<int> ParseBaudSelection(std::string_view text) {
    if (text == kAutoText) return kAutoBaud;
    int rate = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), rate);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (std::find(kAutoBaudRates.begin(), kAutoBaudRates.end(), rate) == kAutoBaudRates.end()) {
        return std::nullopt;
    }
    return rate;
}

}  // namespace vexa
