#pragma once

#include <array>
#include <string_view>

namespace vexa {

// The receiver's restarts, from keeping everything it knows (hot) to forgetting all of it (factory).
enum class ResetKind { Hot, Warm, Cold, Factory };

inline constexpr std::array kResetKinds = {ResetKind::Hot, ResetKind::Warm, ResetKind::Cold, ResetKind::Factory};

// "hot", "warm", "cold", "factory".
std::string_view ResetKindName(ResetKind kind);

}  // namespace vexa
