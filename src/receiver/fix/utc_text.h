#pragma once

#include <string>

#include "receiver/fix/gnss_fix.h"

namespace vexa {

// ISO 8601 in UTC with milliseconds: "2024-05-01T12:00:00.250Z".
std::string IsoUtcText(UtcTime time);

}  // namespace vexa
