#include "evaluation/ttff_run.h"

namespace vexa {

std::string_view RunOutcomeName(RunOutcome outcome) {
    switch (outcome) {
    case RunOutcome::Fixed: return "fixed";
    case RunOutcome::TimedOut: return "timed_out";
    case RunOutcome::Lost: return "lost";
    case RunOutcome::Stopped: return "stopped";
    }
    return "stopped";
}

}  // namespace vexa
