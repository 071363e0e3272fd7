#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vexa {

// Length of the well-formed UTF-8 sequence at the start of `text`, 0 if there is none.
std::size_t Utf8SequenceLength(std::string_view text);

// Whether one character (a well-formed UTF-8 sequence) is a control character: C0, DEL, or
// U+0080 to U+009F, which some terminals take as the start of an escape sequence.
bool IsControlCharacter(std::string_view character);

// The text as it may reach a terminal: a control character other than tab and line feed, and every
// byte that is not part of well-formed UTF-8, is shown as a visible escape ("\x1b"), so that no text
// from a receiver or a server can move the cursor, overwrite a line, retitle or clear the terminal.
// Everything else stays (a rendered message may span lines).
std::string VisibleText(std::string_view text);

// Whether VisibleText would change the text; quick for plain ASCII.
bool NeedsVisibleEscapes(std::string_view text);

}  // namespace vexa
