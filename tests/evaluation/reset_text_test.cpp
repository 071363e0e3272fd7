#include <gtest/gtest.h>

#include <string>

#include "evaluation/reset_text.h"

namespace vexa {
namespace {

TEST(ResetText, IsSentAsTypedWithItsEscapesAndRefusedWithTheReason) {
    const struct {
        const char* typed;
        std::string bytes;  // empty: refused
        const char* problem;
    } kCases[] = {
        {"$PXYZ,101*3C\\r\\n", "$PXYZ,101*3C\r\n", ""},
        {"\\xa0\\xA2\\x00\\x19", std::string("\xa0\xa2\x00\x19", 4), ""},
        {"tab\\there \\\\ back", "tab\there \\ back", ""},
        {"bad\\q", "", "\\q at 4 is no escape"},
        {"end\\", "", "a \\ ends it"},
        {"\\x4", "", "\\x at 1 needs two hexadecimal digits"},
        {"\\xg0", "", "\\x at 1 needs two hexadecimal digits"},
        {"", "", "empty"},
    };
    for (const auto& c : kCases) {
        const ParsedResetText parsed = ParseResetText(c.typed);
        if (c.bytes.empty()) {
            EXPECT_FALSE(parsed.bytes) << c.typed;
            EXPECT_TRUE(parsed.problem.starts_with(c.problem)) << c.typed << ": " << parsed.problem;
        } else {
            ASSERT_TRUE(parsed.bytes) << c.typed << ": " << parsed.problem;
            EXPECT_EQ(*parsed.bytes, c.bytes) << c.typed;
        }
    }
}

}  // namespace
}  // namespace vexa
