#include <gtest/gtest.h>

#include "receiver/product/product_table.h"

namespace vexa {
namespace {

TEST(ProductTable, TheThreeProductsInAnyCaseAndNothingElse) {
    struct Case {
        const char* name;
        std::optional<int> product;
    };
    for (const Case& c : {Case{"kestrel", kKestrel}, Case{"Kestrel", kKestrel}, Case{"KESTREL", kKestrel},
                          Case{"oSpReY", kOsprey}, Case{"Merlin", kMerlin}, Case{"Harrier", std::nullopt},
                          Case{"vexaloc", std::nullopt}, Case{"kestrel ", std::nullopt}, Case{"kestre", std::nullopt},
                          Case{"", std::nullopt}}) {
        EXPECT_EQ(ProductNamed(c.name), c.product) << '"' << c.name << '"';
    }
    for (int product : {kKestrel, kOsprey, kMerlin}) EXPECT_EQ(ProductNamed(ProductName(product)), product);
    EXPECT_EQ(ProductName(kVexaLoc), "VexaLoc");
    EXPECT_EQ(ProductName(5), "");
}

// Hidden products and values outside the table are driven by nothing product-specific.
TEST(ProductTable, OnlyTheThreeProductsAreDriven) {
    for (int product : {kKestrel, kOsprey, kMerlin}) {
        ASSERT_NE(SupportedProduct(product), nullptr) << product;
        EXPECT_EQ(SupportedProduct(product)->name, ProductName(product));
    }
    for (int product : {int{kHarrier}, int{kVexaLoc}, -1, 5}) {
        EXPECT_EQ(SupportedProduct(product), nullptr) << product;
        EXPECT_FALSE(UsesChannelBytes(product)) << product;
        EXPECT_EQ(FixedBaud(product), std::nullopt) << product;
    }
    EXPECT_TRUE(UsesChannelBytes(kOsprey));
    EXPECT_FALSE(UsesChannelBytes(kKestrel));
    EXPECT_EQ(FixedBaud(kOsprey), 57600);
    EXPECT_EQ(FixedBaud(kMerlin), std::nullopt);
}

}  // namespace
}  // namespace vexa
