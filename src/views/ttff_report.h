#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vexa {

// The time to first fix in the receiver's check report lines: the seventh blank-separated word
// after the report's heading ("EXEC: SpecCheck" lines count from their 25th character, "SpecCheck"
// lines from their 19th), cut to 15 characters. Nothing for other lines or a report with fewer words.
std::optional<std::string> TtffFromReportLine(std::string_view line);

// The seconds of such a word ("32.5"), when it is a number.
std::optional<double> ReportedTtffSeconds(std::string_view word);

}  // namespace vexa
