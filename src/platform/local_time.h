#pragma once

#include <string>

namespace vexa {

// The current local date as "MM/dd/yyyy" and time as "HH:mm:ss".
std::string LocalDateText();
std::string LocalTimeText();

}  // namespace vexa
