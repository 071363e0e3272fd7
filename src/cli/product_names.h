#pragma once

#include <optional>
#include <string_view>

#include "receiver/receiver_context.h"

namespace vexa {

// The products a user can choose on the command line: "kestrel", "osprey" or "merlin".
inline std::optional<int> ProductNamed(std::string_view name) {
    if (name == "kestrel") return kKestrel;
    if (name == "osprey") return kOsprey;
    if (name == "merlin") return kMerlin;
    return std::nullopt;
}

}  // namespace vexa
