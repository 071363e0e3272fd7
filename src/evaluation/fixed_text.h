#pragma once

#include <string>

namespace vexa {

// `value` with `decimals` digits after a point, whatever the locale ("-0.000" is written "0.000").
std::string FixedText(double value, int decimals);

}  // namespace vexa
