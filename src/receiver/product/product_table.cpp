#include "receiver/product/product_table.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace vexa {

namespace {

constexpr ProductTraits KestrelLike(std::string_view name) {
    return {.name = name, .supported = true, .binaryProtocolName = "Vexa Binary", .connectedProgress = 50};
}

constexpr ProductTraits kOsprey{.name = "Osprey",
                                .supported = true,
                                .channelBytes = true,
                                .resetConfigurationFlag = 0x80,
                                .fixedBaud = 57600,
                                .binarySwitchMode = 2,
                                .binaryProtocolName = "VexaLoc",
                                .connectedProgress = 55,
                                .commandMenu = CommandMenuLayout::NmeaChannelToggle,
                                .textFilter = true};

// In ProductSelection order. The Merlin is driven as the Kestrel is; Harrier and VexaLoc are hidden
// and disabled in the Product Selection dialog and never named on a command line.
constexpr std::array<ProductTraits, 5> kProducts{KestrelLike("Kestrel"), kOsprey, KestrelLike("Merlin"),
                                                 ProductTraits{.name = "Harrier"}, ProductTraits{.name = "VexaLoc"}};

bool SameLetters(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

const ProductTraits* Row(int product) {
    if (product < 0 || product >= static_cast<int>(kProducts.size())) return nullptr;
    return &kProducts[static_cast<std::size_t>(product)];
}

}  // namespace

const ProductTraits* SupportedProduct(int product) {
    const ProductTraits* row = Row(product);
    return row != nullptr && row->supported ? row : nullptr;
}

bool UsesChannelBytes(int product) {
    const ProductTraits* traits = SupportedProduct(product);
    return traits != nullptr && traits->channelBytes;
}

std::optional<int> FixedBaud(int product) {
    const ProductTraits* traits = SupportedProduct(product);
    return traits != nullptr ? traits->fixedBaud : std::nullopt;
}

std::optional<int> ProductNamed(std::string_view name) {
    for (int product = 0; product < static_cast<int>(kProducts.size()); ++product) {
        if (kProducts[static_cast<std::size_t>(product)].supported && SameLetters(name, ProductName(product))) {
            return product;
        }
    }
    return std::nullopt;
}

std::string_view ProductName(int product) {
    const ProductTraits* row = Row(product);
    return row != nullptr ? row->name : std::string_view();
}

}  // namespace vexa
