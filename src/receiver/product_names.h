#pragma once

#include <optional>
#include <string_view>

#include "receiver/receiver_context.h"

namespace vexa {

// The products a user can name on a command line: Kestrel, Osprey or Merlin, in any case.
std::optional<int> ProductNamed(std::string_view name);

// The product's name as the Product Selection dialog shows it.
std::string_view ProductName(int product);

}  // namespace vexa
