#include <gtest/gtest.h>

#include "receiver/product_names.h"

namespace vexa {
namespace {

TEST(ProductNames, TheThreeProductsInAnyCaseAndNothingElse) {
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

}  // namespace
}  // namespace vexa
