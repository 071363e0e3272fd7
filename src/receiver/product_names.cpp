#include "receiver/product_names.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace vexa {

namespace {

constexpr std::array<std::string_view, 5> kProductNames = {"Kestrel", "Osprey", "Merlin", "Harrier", "VexaLoc"};
// Harrier and VexaLoc are hidden from the user everywhere.
constexpr int kNameableProducts = 3;

bool SameLetters(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

std::optional<int> ProductNamed(std::string_view name) {
    for (int product = 0; product < kNameableProducts; ++product) {
        if (SameLetters(name, kProductNames[product])) return product;
    }
    return std::nullopt;
}

std::string_view ProductName(int product) {
    if (product < 0 || product >= static_cast<int>(kProductNames.size())) return {};
    return kProductNames[static_cast<std::size_t>(product)];
}

}  // namespace vexa
