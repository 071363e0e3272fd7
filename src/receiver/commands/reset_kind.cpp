#include "receiver/commands/reset_kind.h"

namespace vexa {

std::string_view ResetKindName(ResetKind kind) {
    switch (kind) {
    case ResetKind::Hot: return "hot";
    case ResetKind::Warm: return "warm";
    case ResetKind::Cold: return "cold";
    case ResetKind::Factory: return "factory";
    }
    return "cold";
}

}  // namespace vexa
