#include <gtest/gtest.h>

#include "views/ttff_report.h"

namespace vexa {
namespace {

TEST(TtffReportTest, TheSeventhWordAfterTheHeading) {
    struct Case {
        const char* line;
        std::optional<std::string> ttff;
    };
    const Case cases[] = {
        // "SpecCheck" lines count from their 19th character, "EXEC: SpecCheck" lines from their 25th.
        {"SpecCheck results: a b c d e f 32.5 g", "32.5"},
        {"SpecCheckxxxxxxxxxa b c d e f 7.0", "7.0"},
        {"EXEC: SpecCheck results: a b c d e f 12.25 more", "12.25"},
        {"EXEC: SpecCheck         1 2 3 4 5 6 7", "7"},
        {"EXEC: SpecCheck        0 1 2 3 4 5 6 7", "7"},
        {"SpecCheck results: a\tb  c d e f 9", "9"},
        // A long word is cut to 15 characters.
        {"SpecCheck results: a b c d e f 123456789012345678", "123456789012345"},
        // Too few words, too short, or no report at all.
        {"SpecCheck results: a b c d e f", std::nullopt},
        {"SpecCheck", std::nullopt},
        {"EXEC: SpecCheck", std::nullopt},
        {"specCheck results: a b c d e f 1", std::nullopt},
        {" SpecCheck results: a b c d e f 1", std::nullopt},
        {"$GPGGA,SpecCheck", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(TtffFromReportLine(c.line), c.ttff) << c.line;
}

}  // namespace
}  // namespace vexa
