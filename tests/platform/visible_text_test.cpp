#include "platform/visible_text.h"

#include <gtest/gtest.h>

#include <string>

namespace vexa {
namespace {

TEST(VisibleText, EscapesWhatCouldSteerATerminalAndKeepsTheRest) {
    struct Case {
        const char* legend;
        std::string text;
        std::string visible;
    };
    const Case cases[] = {
        {"plain text, tab and line feed", "$GPGGA,1\t2*47\nnext", "$GPGGA,1\t2*47\nnext"},
        {"window title", "\x1b]0;owned\a", "\\x1b]0;owned\\x07"},
        {"clear screen", "a\x1b[2Jb", "a\\x1b[2Jb"},
        {"carriage return, backspace and delete", "a\r\bb\x7f", "a\\x0d\\x08b\\x7f"},
        {"zero byte", std::string("a\0b", 3), "a\\x00b"},
        {"UTF-8 stays", "Stra\xc3\x9f" "e \xe2\x82\xac", "Stra\xc3\x9f" "e \xe2\x82\xac"},
        {"C1 control as UTF-8", "\xc2\x9b" "2J", "\\xc2\\x9b2J"},
        {"C1 control as a lone byte", "\x9b" "2J", "\\x9b2J"},
        {"broken UTF-8", "\xe2\x82x\xff", "\\xe2\\x82x\\xff"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VisibleText(c.text), c.visible) << c.legend;
        EXPECT_EQ(NeedsVisibleEscapes(c.text), c.text != c.visible) << c.legend;
    }
}

}  // namespace
}  // namespace vexa
